// Prints, for every pair of the corpus given as the first argument, the number of matches of
// text.match(new RegExp(pattern, "g")) or "error" when the pattern is rejected: one line per pair,
// in the order the corpus lists them (group by group, pattern by pattern, text by text, then the
// "differs:" lines).
"use strict";
const fs = require("fs");

function count(pattern, text) {
    try {
        const matches = text.match(new RegExp(pattern, "g"));
        return String(matches ? matches.length : 0);
    } catch (e) {
        return "error";
    }
}

const out = [];
let patterns = [];
for (const line of fs.readFileSync(process.argv[2], "utf8").split("\n")) {
    const colon = line.indexOf(":");
    if (line.startsWith("#") || colon < 0) continue;
    const key = line.slice(0, colon);
    const value = JSON.parse(line.slice(colon + 1));
    if (key === "patterns") patterns = value;
    else if (key === "texts") for (const p of patterns) for (const t of value) out.push(count(p, t));
    else if (key === "differs") out.push(count(value[0], value[1]));
}
process.stdout.write(out.join("\n") + "\n");
