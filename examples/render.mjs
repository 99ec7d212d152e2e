// Writes a station identification through the JavaScript package:
//   node render.mjs CALLSIGN WPM FILE
import { writeFileSync } from "node:fs";
import { render } from "zarn";

const [callsign, wpm, file] = process.argv.slice(2);
if (!file) {
  console.error("usage: node render.mjs CALLSIGN WPM FILE");
  process.exit(2);
}
try {
  const { bytes } = await render({ callsign, wpm: Number(wpm), preset: "svxlink" });
  writeFileSync(file, bytes);
} catch (error) {
  console.error(`render.mjs: ${error.message}`);
  process.exit(1);
}
