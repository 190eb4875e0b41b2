# cmake -DMODULE=.../fflate -DOUT=.../fflate.js -P vendor_fflate.cmake: the zip library's
# browser build as the page carries it, its licence notice at its head.
file(READ ${MODULE}/LICENSE licence)
file(READ ${MODULE}/umd/index.js code)
file(WRITE ${OUT} "/*! fflate, from the npm registry at the version frontends/web/package-lock.json pins.\n${licence}*/\n${code}")
