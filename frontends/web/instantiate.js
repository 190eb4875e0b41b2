// The module's WebAssembly is inside this script (SINGLE_FILE). Left to itself, emscripten
// would first try to fetch it as a data: URL, which the page's policy refuses (connect-src
// 'none'), and only then decode it; this compiles the embedded bytes straight away.
Module['instantiateWasm'] = function (imports, receiveInstance) {
  WebAssembly.instantiate(tryParseAsDataURI(wasmBinaryFile), imports).then(function (result) {
    receiveInstance(result.instance, result.module);
  }, function (fault) {
    err('The module could not be started: ' + fault);
    abort(fault);
  });
  return {};
};
