// The same job as `mytavex-cli clean SOURCE TARGET`, done by Readability.js
// on jsdom, for scripts/bench-start to time whole process against whole
// process: read the saved page, parse it, extract the article, write its
// HTML. The packages come from NODE_PATH (a folder outside the checkout).
const fs = require("fs");
const { JSDOM } = require("jsdom");
const { Readability } = require("@mozilla/readability");

const [source, target] = process.argv.slice(2);
const dom = new JSDOM(fs.readFileSync(source), { url: "file://" + source });
const article = new Readability(dom.window.document).parse();
fs.writeFileSync(target, article ? article.content : "");
console.log(article ? article.title : "");
