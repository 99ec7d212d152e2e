# zarn.wasm as a script (zarn-wasm.js): a page opened from file:// can fetch
# nothing, and the page needs the module's bytes itself, to compile them once
# and make a fresh instance at once whenever one fails.
# cmake -DWASM=<zarn.wasm> -DOUT=<zarn-wasm.js> -P embed_wasm.cmake
execute_process(COMMAND base64 -w0 ${WASM} OUTPUT_VARIABLE encoded RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "base64 of ${WASM} failed")
endif()
file(WRITE ${OUT} "// The zarn wasm module, base64.\nconst zarnWasm = \"${encoded}\";\n")
file(REMOVE ${WASM})
