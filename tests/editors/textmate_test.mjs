// Tokenizes Zentul samples with the grammar of the VS Code extension,
// editors/vscode/syntaxes/zentul.tmLanguage.json, through vscode-textmate and
// the Oniguruma engine, as VS Code does, and checks the scope of chosen
// tokens; then checks that the extension's parts fit together, that its
// problem matcher reads what zentul --check prints, and that Sublime Text's
// form of the grammar is the same grammar.
//   node tests/editors/textmate_test.mjs ZENTUL     (after npm ci in tests/editors)
import { execFileSync } from "node:child_process";
import { mkdtempSync, readFileSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { createRequire } from "node:module";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";
import oniguruma from "vscode-oniguruma";
import textmate from "vscode-textmate";

const here = dirname(fileURLToPath(import.meta.url));
const root = join(here, "..", "..");
const extension = join(root, "editors", "vscode");
const grammarPath = join(extension, "syntaxes", "zentul.tmLanguage.json");
const require = createRequire(import.meta.url);

const wasm = readFileSync(join(dirname(require.resolve("vscode-oniguruma")), "onig.wasm"));
await oniguruma.loadWASM(wasm.buffer.slice(wasm.byteOffset, wasm.byteOffset + wasm.byteLength));

const registry = new textmate.Registry({
  onigLib: Promise.resolve({
    createOnigScanner: (patterns) => new oniguruma.OnigScanner(patterns),
    createOnigString: (text) => new oniguruma.OnigString(text),
  }),
  loadGrammar: async (scopeName) => {
    if (scopeName !== "source.zentul") return null;
    return textmate.parseRawGrammar(readFileSync(grammarPath, "utf8"), grammarPath);
  },
});
const grammar = await registry.loadGrammar("source.zentul");

// The innermost scope of every token of every line, as [text, scope] pairs.
function tokenize(text) {
  let state = textmate.INITIAL;
  return text.split("\n").map((line) => {
    const result = grammar.tokenizeLine(line, state);
    state = result.ruleStack;
    return result.tokens.map((token) => [
      line.slice(token.startIndex, token.endIndex),
      token.scopes[token.scopes.length - 1],
    ]);
  });
}

const faults = [];
let checks = 0;

// Each expectation: line index, token text (its first occurrence on the
// line), the scope it must have.
function expectScopes(name, text, expectations) {
  const lines = tokenize(text);
  for (const [line, tokenText, scope] of expectations) {
    checks++;
    const token = lines[line].find(([text]) => text === tokenText);
    const got = token ? token[1] : "(no such token)";
    if (got !== scope) faults.push(`${name}:${line + 1}: "${tokenText}" is ${got}, expected ${scope}`);
  }
}

expectScopes("sample.zen", readFileSync(join(here, "sample.zen"), "utf8"), [
  [0, "sg<nel>", "meta.preprocessor.header.zentul"],
  [1, "#", "punctuation.definition.comment.zentul"],
  [1, " A comment with a TODO", "comment.line.number-sign.zentul"],
  [2, "var", "storage.type.var.zentul"],
  [2, " count ", "source.zentul"],
  [2, "=", "keyword.operator.assignment.zentul"],
  [2, "42", "constant.numeric.decimal.zentul"],
  [2, ";", "punctuation.terminator.statement.zentul"],
  [3, "print", "keyword.other.print.zentul"],
  [3, "tab", "string.quoted.double.zentul"],
  [3, "\\t", "constant.character.escape.zentul"],
  [3, "*", "keyword.operator.arithmetic.zentul"],
  [3, "1.5", "constant.numeric.decimal.zentul"],
  [4, "if", "keyword.control.zentul"],
  [4, ">", "keyword.operator.comparison.zentul"],
  [4, "upper", "support.function.builtin.zentul"],
  [4, "else", "keyword.control.zentul"],
  [4, "__upper_result", "variable.language.result.zentul"],
  [5, "while", "keyword.control.zentul"],
  [6, "rand_range", "support.function.builtin.zentul"],
  [7, "__rand_0", "variable.language.result.zentul"],
  [8, "input", "support.function.builtin.zentul"],
  [9, "sqrt", "support.function.math.zentul"],
  [10, "adn", "keyword.other.package.zentul"],
  [10, "install", "keyword.other.package.zentul"],
]);

// A string spanning lines, a comment sign inside it, names that are only
// functions before "(", and a header that is not on the first line.
expectScopes("more.zen", 'var s = "a # b\nstill string";\nvar abs = 1;\nprint(abs);\nsg<nel>', [
  [0, "a # b", "string.quoted.double.zentul"],
  [1, "still string", "string.quoted.double.zentul"],
  [1, ";", "punctuation.terminator.statement.zentul"],
  [2, " abs ", "source.zentul"],
  [3, "abs", "source.zentul"],
  [4, "<", "keyword.operator.comparison.zentul"],
]);

expectScopes("greet.zep", "# a package\nversion: 1.0.0\nzentul:\nprint(\"hi\");", [
  [0, "#", "punctuation.definition.comment.zentul"],
  [1, "version:", "meta.preprocessor.version.zentul"],
  [1, " 1.0.0", "constant.other.version.zentul"],
  [2, "zentul:", "meta.preprocessor.code-marker.zentul"],
  [3, "print", "keyword.other.print.zentul"],
]);

// Comment lines before the header; an empty line ends them. Command words
// after adn( and adm(, and a lone '&' or '|'.
expectScopes("top.zen", "# a comment\n  # another\nsg<nel>\nadn(list); adm(ls); var ls = 1 & 2 | 3 && 4;", [
  [1, "#", "punctuation.definition.comment.zentul"],
  [2, "sg<nel>", "meta.preprocessor.header.zentul"],
  [3, "list", "keyword.other.package.zentul"],
  [3, "ls", "keyword.other.package.zentul"],
  [3, " ls ", "source.zentul"],
  [3, "&", "invalid.illegal.operator.zentul"],
  [3, "|", "invalid.illegal.operator.zentul"],
  [3, "&&", "keyword.operator.logical.zentul"],
]);
expectScopes("empty.zen", "# c\n\nsg<nel>", [[2, "<", "keyword.operator.comparison.zentul"]]);

function expect(what, holds) {
  checks++;
  if (!holds) faults.push(what);
}

// Installable by copying the folder: every file the manifest names is in it.
const manifest = JSON.parse(readFileSync(join(extension, "package.json"), "utf8"));
const [language] = manifest.contributes.languages;
const [grammarEntry] = manifest.contributes.grammars;
const configuration = JSON.parse(readFileSync(join(extension, language.configuration), "utf8"));
const rawGrammar = JSON.parse(readFileSync(grammarPath, "utf8"));
expect("the grammar entry names the language's grammar file",
  join(extension, grammarEntry.path) === grammarPath && grammarEntry.language === language.id);
expect("the language's extensions are the grammar's file types",
  language.extensions.join() === rawGrammar.fileTypes.map((type) => "." + type).join());

// The comment sign and the brackets of the configuration are the grammar's.
const [commented] = tokenize(configuration.comments.lineComment + " print(1);");
expect("the line comment sign starts a comment", commented.every(([, scope]) => scope.startsWith("comment.") ||
  scope.startsWith("punctuation.definition.comment")));
for (const pair of configuration.brackets) {
  const [tokens] = tokenize(pair.join(" "));
  expect(`the brackets ${pair.join("")} are punctuation`, tokens.filter(([text]) => text.trim())
    .every(([, scope]) => scope.startsWith("punctuation.section.")));
}

// The task's problem matcher reads the check's findings of a faulty script.
const [matcher] = manifest.contributes.problemMatchers;
const [task] = JSON.parse(readFileSync(join(extension, "tasks.json"), "utf8")).tasks;
expect("the task uses the problem matcher", task.problemMatcher === "$" + matcher.name);
const faulty = join(mkdtempSync(join(tmpdir(), "zentul-vscode-")), "faulty.zen");
writeFileSync(faulty, 'var s = "x";\nvar t = s;\nprint(q);\n');
let report = "";
try {
  execFileSync(process.argv[2], [...task.args.slice(0, -1), faulty], { encoding: "utf8" });
} catch (failed) {
  report = failed.stdout;  // a fault makes the check exit 2
}
const pattern = matcher.pattern;
const problems = report.split("\n").filter(Boolean).map((line) => line.match(new RegExp(pattern.regexp)))
  .map((m) => m && [m[pattern.file], m[pattern.line], m[pattern.severity], m[pattern.message].slice(0, 21)]);
expect(`the problem matcher reads ${JSON.stringify(problems)}`, JSON.stringify(problems) === JSON.stringify([
  [faulty, "2", "warning", "`s` may hold a string"], [faulty, "3", "error", "Undefined variable: q"]]));

// Sublime Text reads the property-list form (tools/sublime_grammar.py makes it).
const plist = textmate.parseRawGrammar(readFileSync(join(root, "editors", "sublime", "Zentul.tmLanguage"), "utf8"));
delete rawGrammar.$schema;
expect("editors/sublime/Zentul.tmLanguage is the grammar (run tools/sublime_grammar.py)",
  JSON.stringify(plist) === JSON.stringify(rawGrammar));

for (const fault of faults) console.error(fault);
console.log(`${checks - faults.length} passed, ${faults.length} failed`);
process.exit(faults.length === 0 ? 0 : 1);
