# zlib, libpng, giflib and nettle's SHA-256 for the cross builds (MinGW-w64, emscripten),
# compiled as static libraries from Debian's source packages of the very versions the native
# build links, which scripts/fetch-cross-sources.sh fetches. They get the targets, and the
# find_package() results, that the native build gets from Debian's packages: ZLIB::ZLIB,
# PNG::PNG, GIF::GIF, PkgConfig::NETTLE, and the header-only CLI11::CLI11 and
# nlohmann_json::nlohmann_json.
cmake_minimum_required(VERSION 3.24) # find_package() redirection
enable_language(C)

if(NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
  set(cache_home $ENV{XDG_CACHE_HOME})
else()
  set(cache_home $ENV{HOME}/.cache)
endif()
set(DUZURORO_CROSS_SOURCES ${cache_home}/duzuroro/cross-sources CACHE PATH
  "Debian's unpacked source packages of zlib, libpng, giflib and nettle (scripts/fetch-cross-sources.sh)")

# Each source package must be there, unpacked at the version of its native package.
find_program(DUZURORO_DPKG_QUERY dpkg-query REQUIRED)
foreach(pair zlib:zlib1g-dev libpng1.6:libpng-dev giflib:libgif-dev nettle:nettle-dev)
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 source)
  list(GET pair 1 package)
  set(stamp ${DUZURORO_CROSS_SOURCES}/${source}.version)
  if(NOT EXISTS ${stamp})
    message(FATAL_ERROR "Debian's source package ${source} is missing from "
      "${DUZURORO_CROSS_SOURCES}: run bash scripts/install-deps.sh")
  endif()
  file(STRINGS ${stamp} version LIMIT_COUNT 1)
  execute_process(COMMAND ${DUZURORO_DPKG_QUERY} -W -f=\${source:Version} ${package}
    OUTPUT_VARIABLE native ERROR_QUIET)
  if(NOT native STREQUAL version)
    message(FATAL_ERROR "${DUZURORO_CROSS_SOURCES} holds ${source} ${version}, but the native "
      "${package} is of '${native}': run bash scripts/install-deps.sh")
  endif()
  set(debian_version_${source} ${version})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${stamp})
endforeach()

set(zlib_dir ${DUZURORO_CROSS_SOURCES}/zlib)
set(png_dir ${DUZURORO_CROSS_SOURCES}/libpng1.6)
set(gif_dir ${DUZURORO_CROSS_SOURCES}/giflib)
set(zlib_sources adler32.c compress.c crc32.c deflate.c gzclose.c gzlib.c gzread.c gzwrite.c
  infback.c inffast.c inflate.c inftrees.c trees.c uncompr.c zutil.c)
set(png_sources png.c pngerror.c pngget.c pngmem.c pngpread.c pngread.c pngrio.c pngrtran.c
  pngrutil.c pngset.c pngtrans.c pngwio.c pngwrite.c pngwtran.c pngwutil.c)
set(gif_sources dgif_lib.c egif_lib.c gifalloc.c gif_err.c gif_font.c gif_hash.c
  openbsd-reallocarray.c quantize.c)
foreach(name zlib png gif)
  list(TRANSFORM ${name}_sources PREPEND ${${name}_dir}/)
  # Built when a program links them, not by every build of the preset.
  add_library(duzuroro_${name} STATIC EXCLUDE_FROM_ALL ${${name}_sources})
  target_include_directories(duzuroro_${name} SYSTEM PUBLIC ${${name}_dir})
  # Other people's C: none of the project's warning options, nor its -Werror.
  set_target_properties(duzuroro_${name} PROPERTIES COMPILE_OPTIONS -w
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/cross-libraries)
endforeach()
target_link_libraries(duzuroro_png PUBLIC duzuroro_zlib)

# Of nettle, only SHA-256 (info --json --hashes), in portable C: no assembly, so no config.h
# (the sources read it only under HAVE_CONFIG_H, and without it take the C compress
# function). The headers the programs include sit in a folder of their own as <nettle/...>;
# version.h is made from its .in file with the version configure.ac states.
set(nettle_dir ${DUZURORO_CROSS_SOURCES}/nettle)
file(STRINGS ${nettle_dir}/configure.ac nettle_init REGEX "^AC_INIT\\(\\[nettle\\]")
string(REGEX REPLACE "^AC_INIT\\(\\[nettle\\], *\\[([0-9.]+)\\].*" "\\1"
  NETTLE_VERSION "${nettle_init}")
string(REGEX REPLACE "^([0-9]+:)?(.*)-[^-]*$" "\\2" nettle_upstream ${debian_version_nettle})
if(NOT NETTLE_VERSION STREQUAL nettle_upstream)
  message(FATAL_ERROR "${nettle_dir}/configure.ac states nettle '${NETTLE_VERSION}', not the "
    "${nettle_upstream} of Debian's ${debian_version_nettle}: run bash scripts/install-deps.sh")
endif()
string(REGEX MATCHALL "[0-9]+" nettle_parts ${NETTLE_VERSION})
list(GET nettle_parts 0 MAJOR_VERSION)
list(GET nettle_parts 1 MINOR_VERSION)
set(NETTLE_USE_MINI_GMP 0)  # Debian's nettle is built over GMP; SHA-256 needs neither.
set(nettle_include_dir ${CMAKE_BINARY_DIR}/cross-libraries/nettle-include)
configure_file(${nettle_dir}/version.h.in ${nettle_include_dir}/nettle/version.h @ONLY)
foreach(header sha2.h nettle-types.h)
  configure_file(${nettle_dir}/${header} ${nettle_include_dir}/nettle/${header} COPYONLY)
endforeach()
add_library(duzuroro_nettle STATIC EXCLUDE_FROM_ALL
  ${nettle_dir}/sha256.c ${nettle_dir}/sha256-compress.c ${nettle_dir}/write-be32.c
  ${nettle_dir}/version.c)
target_include_directories(duzuroro_nettle SYSTEM PUBLIC ${nettle_include_dir})
# version.c includes "version.h" from beside itself, where only the .in file is.
target_include_directories(duzuroro_nettle PRIVATE ${nettle_include_dir}/nettle)
set_target_properties(duzuroro_nettle PROPERTIES COMPILE_OPTIONS -w
  ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/cross-libraries)

# libpng's build-time settings: the defaults, as Debian's are, with the zlib it is built
# against (which pngpriv.h checks).
set(png_config_dir ${CMAKE_BINARY_DIR}/cross-libraries/include)
file(STRINGS ${zlib_dir}/zlib.h zlib_vernum REGEX "^#define ZLIB_VERNUM ")
string(REGEX REPLACE ".* (0x[0-9a-fA-F]+).*" "\\1" zlib_vernum "${zlib_vernum}")
file(READ ${png_dir}/scripts/pnglibconf.h.prebuilt pnglibconf)
string(REGEX REPLACE "#define PNG_ZLIB_VERNUM [^\n]*" "#define PNG_ZLIB_VERNUM ${zlib_vernum}"
  pnglibconf "${pnglibconf}")
file(CONFIGURE OUTPUT ${png_config_dir}/pnglibconf.h CONTENT "${pnglibconf}" @ONLY)
target_include_directories(duzuroro_png SYSTEM PUBLIC ${png_config_dir})

# The header-only libraries, from a copy: the host's /usr/include must never reach a cross
# compiler, whose own headers it would shadow.
set(header_dir ${CMAKE_BINARY_DIR}/cross-libraries/header-only)
file(COPY /usr/include/CLI /usr/include/nlohmann DESTINATION ${header_dir})
foreach(name cli11 nlohmann_json)
  add_library(duzuroro_${name} INTERFACE)
  target_include_directories(duzuroro_${name} SYSTEM INTERFACE ${header_dir})
endforeach()

add_library(ZLIB::ZLIB ALIAS duzuroro_zlib)
add_library(PNG::PNG ALIAS duzuroro_png)
add_library(GIF::GIF ALIAS duzuroro_gif)
# pkg_check_modules() would find the host's nettle: src/export takes this target instead.
add_library(PkgConfig::NETTLE ALIAS duzuroro_nettle)
add_library(CLI11::CLI11 ALIAS duzuroro_cli11)
add_library(nlohmann_json::nlohmann_json ALIAS duzuroro_nlohmann_json)

# The version a header states, from one string macro or from its numbered parts.
function(duzuroro_header_version out header)
  set(parts "")
  foreach(macro ${ARGN})
    file(STRINGS ${header} line REGEX "^#define ${macro} ")
    string(REGEX REPLACE "^#define ${macro} +\"?([0-9.]+).*" "\\1" line "${line}")
    list(APPEND parts ${line})
  endforeach()
  list(JOIN parts . version)
  set(${out} ${version} PARENT_SCOPE)
endfunction()
duzuroro_header_version(ZLIB_version ${zlib_dir}/zlib.h ZLIB_VERSION)
duzuroro_header_version(PNG_version ${png_dir}/png.h PNG_LIBPNG_VER_STRING)
duzuroro_header_version(GIF_version ${gif_dir}/gif_lib.h GIFLIB_MAJOR GIFLIB_MINOR GIFLIB_RELEASE)
duzuroro_header_version(CLI11_version ${header_dir}/CLI/Version.hpp CLI11_VERSION)
duzuroro_header_version(nlohmann_json_version ${header_dir}/nlohmann/detail/abi_macros.hpp
  NLOHMANN_JSON_VERSION_MAJOR NLOHMANN_JSON_VERSION_MINOR NLOHMANN_JSON_VERSION_PATCH)

# find_package(PNG), find_package(GIF 5) and the others then find these targets, instead of
# searching the cross environment.
include(CMakePackageConfigHelpers)
foreach(package ZLIB PNG GIF CLI11 nlohmann_json)
  file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/${package}Config.cmake
    "# cmake/cross_libraries.cmake has defined the target.\n")
  write_basic_package_version_file(${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/${package}ConfigVersion.cmake
    VERSION ${${package}_version} COMPATIBILITY SameMajorVersion)
endforeach()

set(DUZURORO_CROSS_VERSIONS "zlib ${debian_version_zlib}, libpng1.6 ${debian_version_libpng1.6}, "
  "giflib ${debian_version_giflib}, nettle ${debian_version_nettle}")
list(JOIN DUZURORO_CROSS_VERSIONS "" DUZURORO_CROSS_VERSIONS)
message(STATUS "Cross libraries from Debian's source packages ${DUZURORO_CROSS_VERSIONS}")

# The proof that they work on the target: cross-libraries-check, built on request.
add_subdirectory(${PROJECT_SOURCE_DIR}/tests/cross ${CMAKE_BINARY_DIR}/tests/cross)
