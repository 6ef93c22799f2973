// Times text.match(new RegExp(pattern, "g")) in Node for the benchmark of the pattern count, in CPU time
// (user + system, all of Node's threads), as Google Benchmark times ours: the machine is shared, and
// wall-clock time would mostly measure the neighbours.
// Arguments: the text file (UTF-8), the repetitions, then the patterns. Prints one JSON object per
// pattern: {"pattern", "count", "medianMs"}.
"use strict";
const fs = require("fs");
const [textFile, repetitionsArg, ...patterns] = process.argv.slice(2);
const text = fs.readFileSync(textFile, "utf8");
const repetitions = Number(repetitionsArg);
for (const pattern of patterns) {
    const times = [];
    let count = 0;
    for (let r = 0; r < repetitions; ++r) {
        const start = process.cpuUsage();
        const matches = text.match(new RegExp(pattern, "g"));
        const used = process.cpuUsage(start);
        times.push((used.user + used.system) / 1e3);
        count = matches ? matches.length : 0;
    }
    times.sort((a, b) => a - b);
    console.log(JSON.stringify({pattern, count, medianMs: times[Math.floor(times.length / 2)]}));
}
