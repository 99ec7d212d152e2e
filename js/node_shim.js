// The module's loader looks for the CommonJS folder name under node, which an
// ES module lacks; the wasm rides inside, so no folder is ever read.
var __dirname = "";
