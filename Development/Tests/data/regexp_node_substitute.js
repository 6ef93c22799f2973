// Reference for Vantrel_RegExp_Substitute: generates patterns, texts and replacement lists from a fixed seed,
// lets Node find the matches (global matching, with the positions of the groups that took part) and applies the
// documented substitution rules to them. Prints one JSON array per case:
// [pattern, text, expected result, replacement 1, replacement 2, ...].
// Arguments: the number of cases (default 3000) and the seed (default 1).
"use strict";

const cases = Number(process.argv[2] || 3000);
let seed = Number(process.argv[3] || 1) >>> 0;

// mulberry32: the same cases on every run and every machine.
function random() {
    seed = (seed + 0x6d2b79f5) >>> 0;
    let t = seed;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
}
const pick = (list) => list[Math.floor(random() * list.length)];
const chance = (p) => random() < p;

// A pattern as text plus what the generator needs to know of it. Groups are kept out of the places where the
// plug-in documents a difference from ECMAScript: no capturing group inside a repeated group, and no repeat
// with required repetitions around a capturing group that can match the empty text.
// After group 1 (afterGroup1), a back-reference to it may appear as well.
function atom(depth, afterGroup1) {
    const kind = depth > 1 ? pick(["char", "class", "class"]) : pick(["char", "char", "class", "group", "group", "plain",
                                                             "look", "behind", afterGroup1 ? "reference" : "char"]);
    switch (kind) {
        case "char": return {text: pick(["a", "a", "b", "1", "-", " "]), nullable: false, groups: 0};
        case "class": return {text: pick(["[ab]", "\\d", "\\w", ".", "[^a]", "\\s"]), nullable: false, groups: 0};
        case "reference": return {text: "\\1", nullable: true, groups: 0};
        // The engine's look-behinds take fixed lengths only.
        case "behind": {
            const inner = pick(["a", "[ab]", "(a)", "(\\d)", ".", "(.)a"]);
            return {text: pick(["(?<=", "(?<!"]) + inner + ")", nullable: true, groups: inner.includes("(") ? 1 : 0,
                    look: true};
        }
        case "group": {
            const inner = alternation(depth + 1, afterGroup1);
            return {text: "(" + inner.text + ")", nullable: inner.nullable, groups: inner.groups + 1, capture: true};
        }
        case "plain": {
            const inner = alternation(depth + 1, afterGroup1);
            return {text: "(?:" + inner.text + ")", nullable: inner.nullable, groups: inner.groups};
        }
        default: {
            const inner = alternation(depth + 1, afterGroup1);
            return {text: pick(["(?=", "(?!"]) + inner.text + ")", nullable: true, groups: inner.groups,
                    look: true};
        }
    }
}

function term(depth, afterGroup1) {
    const a = atom(depth, afterGroup1);
    if (a.look || !chance(0.4)) return a;
    const quantifier = pick(["?", "*", "+", "{1,2}", "??", "*?", "+?", "{2}"]);
    const required = /^[+{]/.test(quantifier);
    if (a.groups > (a.capture ? 1 : 0) || (a.capture && a.nullable && required)) return a;
    return {text: a.text + quantifier, nullable: a.nullable || !required, groups: a.groups, repeated: true};
}

function sequence(depth, afterGroup1) {
    const length = 1 + Math.floor(random() * 2);
    const terms = Array.from({length}, () => term(depth, afterGroup1));
    return {text: terms.map((t) => t.text).join(""), nullable: terms.every((t) => t.nullable),
            groups: terms.reduce((n, t) => n + t.groups, 0)};
}

function alternation(depth, afterGroup1) {
    const first = sequence(depth, afterGroup1);
    if (!chance(0.25)) return first;
    const second = sequence(depth, afterGroup1);
    return {text: first.text + "|" + second.text, nullable: first.nullable || second.nullable,
            groups: first.groups + second.groups};
}

function pattern() {
    // Most cases need a group 1 to substitute anything.
    const body = alternation(1, false);
    return chance(0.7) ? "(" + body.text + ")" + sequence(1, true).text : body.text;
}

function text() {
    const length = Math.floor(random() * 12);
    let s = "";
    for (let k = 0; k < length; ++k) s += pick(["a", "a", "b", "1", "2", "-", " ", ".", "\u00e9", "\ud83d\ude00"]);
    return s;
}

function replacements() {
    return Array.from({length: 1 + Math.floor(random() * 3)},
                      () => pick(["X", "", "<$1>", "yz", "\u00df", "\ud83d\ude01"]));
}

// The documented rules, on Node's matches.
function substitute(source, input, replacementList) {
    const expression = new RegExp(source, "gd");
    let output = "";
    let copied = 0;
    const copyInputUpTo = (end) => {
        if (end > copied) output += input.slice(copied, end);
        copied = Math.max(copied, end);
    };
    for (;;) {
        const match = expression.exec(input);
        if (match === null) break;
        if (match[0].length === 0) expression.lastIndex = match.index + 1;
        const group1 = match.indices[1];
        // Ends at the first match whose group 1 did not take part or is empty, and without groups at all.
        if (group1 === undefined || group1[0] === group1[1]) break;
        const handled = Math.min(match.length - 1, replacementList.length);
        for (let group = 1; group <= handled; ++group) {
            const span = match.indices[group];
            // A group that did not take part keeps nothing; one starting before the copied text lies in a
            // group replaced already.
            if (span === undefined || span[0] < copied) continue;
            copyInputUpTo(span[0]);
            output += replacementList[group - 1];
            copied = span[1];
        }
    }
    if (copied < input.length) output += input.slice(copied);
    return output;
}

const lines = [];
while (lines.length < cases) {
    const source = pattern();
    const input = text();
    const replacementList = replacements();
    try {
        new RegExp(source);
    } catch (e) {
        continue;  // e.g. a quantified look-behind: the corpus of counts covers errors
    }
    lines.push(JSON.stringify([source, input, substitute(source, input, replacementList), ...replacementList]));
}
process.stdout.write(lines.join("\n") + "\n");
