# IN, an ES module whose exports are all `export const|function|class NAME`,
# as a plain script that defines one global, zarnCalls, holding those names:
# a page opened from file:// runs no module.
file(READ ${IN} text)
string(REGEX MATCHALL "\nexport (const|function|class) [A-Za-z_]+" exports "\n${text}")
set(names "")
foreach(line ${exports})
  string(REGEX REPLACE ".* " "" name "${line}")
  list(APPEND names ${name})
endforeach()
list(JOIN names ", " names)
string(REGEX REPLACE "(^|\n)export " "\\1" text "${text}")
file(WRITE ${OUT} "// Made from js/calls.js at build time.\n\"use strict\";\n"
     "const zarnCalls = (() => {\n${text}\nreturn { ${names} };\n})();\n")
