// node render.js FILE.zpl WIDTH_MM HEIGHT_MM DOTS_PER_MM OUT_PREFIX
// Renders every label of a ZPL file to OUT_PREFIX-N.png (N from 0) and prints how many.
const fs = require("fs");
const { ready } = require("zpl-renderer-js");

(async () => {
  const [file, width, height, dpmm, prefix] = process.argv.slice(2);
  const { api } = await ready;
  const labels = await api.zplToBase64MultipleAsync(
    fs.readFileSync(file, "utf8"), Number(width), Number(height), Number(dpmm));
  labels.forEach((png, i) => fs.writeFileSync(`${prefix}-${i}.png`, Buffer.from(png, "base64")));
  console.log(labels.length);
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
