#!/usr/bin/env python3
"""Mutation testing of ZOLM's logic: plants one fault at a time in the product
code and checks that the native unit tests fail.

Each mutant changes one line of a .cpp file of app/, replay/, settings/,
shellops/ or voice/ (or of a header there that holds code; never a _win32.cpp
file, which the native build does not compile). The operators:

  ror     a comparison flipped or widened: < and <=, > and >=, == and !=
  const   an integer constant changed by one, up or down
  logic   && and || swapped
  negate  the condition of an if or a while negated
  delete  a one-line statement that calls or assigns removed
  return  a returned value replaced: true and false swapped, a comparison
          negated, anything else 0
  guard   the guard of an if without an else taken away: the statement it
          governs always runs; a guarded return, break or continue is also
          removed whole, so that the code never leaves early
  swap    two neighbouring arguments of a call swapped, when both are plain
          names (x, a.b, p->q, ns::k) or literals of one kind
  operand one operand of a condition's && or || dropped (a && b: a, and b),
          in an if, a while, a return or an assignment
  widen   an order comparison widened to "not equal": < and > to !=

Every worker builds in a copy of the source tree, build/mutate/wN/src (the files
git knows, with their uncommitted changes), never in the working tree. For each
mutant it writes the changed line into the copy, builds the target
zolm_unit_tests of the native preset, runs it with a time limit, and puts the
line back. A mutant that no test kills is tried once more on the sanitizer
build (the native-sanitize preset), which sees overruns the plain build does not.

Outcomes: killed (a test failed or the program crashed), timed out (no end
within the limit: counted as killed, and shown apart), survived, or not compiled
(neither killed nor in the score). The last line of the output is

  killed K of N (S %), C not compiled, T timed out

where N counts the mutants that compiled, K those killed (timeouts included),
S is K / N in percent. Survivors come before it, one a line,
"file:line: original -> mutant".

Mutants that reviewers judged equivalent (no test can tell them from the
product) are listed in tools/mutate-equivalent.txt, one key a line; they are
neither built nor counted. The key of each survivor, ready to be pasted there
with its reason, is written to build/mutate/survivors.txt, and every mutant
with its outcome to build/mutate/results.jsonl.

Progress goes to standard error, one line per mutant.
"""
import argparse
import collections
import json
import os
import random
import re
import signal
import subprocess
import sys
import threading
import time

PRODUCT_FOLDERS = ("app", "replay", "settings", "shellops", "voice")
NATIVE_PRESET = "native"
SANITIZE_PRESET = "native-sanitize"
TEST_TARGET = "zolm_unit_tests"
EQUIVALENTS_FILE = "tools/mutate-equivalent.txt"
WORK_FOLDER = "build/mutate"
MINIMUM_TIMEOUT = 20.0  # the unit tests take about 1.5 s; a loaded machine, several times that
TIMEOUT_FACTOR = 5.0
OPERATORS = ("ror", "const", "logic", "negate", "delete", "return", "guard", "swap", "operand", "widen")


def parse_arguments():
    parser = argparse.ArgumentParser(
        prog="mutate.py",
        description=__doc__,
        formatter_class=argparse.RawDescriptionHelpFormatter,
        epilog="""examples:
  python3 tools/mutate.py --list shellops/append_path.cpp
  python3 tools/mutate.py --since HEAD~3                 the lines of the last three commits
  python3 tools/mutate.py --sample 600 --seed 7 -j 2     the whole code, an hour or more
  python3 tools/mutate.py --operators guard,swap --sample 40   a sample of two operators

Without files, --since or --sample, every mutant of the product code runs.
The key of an equivalent mutant, in tools/mutate-equivalent.txt:
  FILE: FUNCTION: ORIGINAL LINE -> MUTATED LINE  # reason
with the lines stripped and their runs of blanks made one space, FUNCTION the
function that holds the line ("-" outside functions), and "#2", "#3" after it
for the second and third identical mutant of one function.""")
    parser.add_argument("files", nargs="*", metavar="FILE",
                        help="mutate only these files (default: all the product code)")
    parser.add_argument("--since", metavar="REV",
                        help="mutate only the lines added or changed since REV "
                             "(git diff REV, uncommitted changes and new files included)")
    parser.add_argument("--sample", type=int, metavar="N",
                        help="run N mutants drawn from the selection, spread over every file "
                             "in proportion to its mutants")
    parser.add_argument("--seed", type=int, metavar="S",
                        help="seed of the sample (default: a random one, printed)")
    parser.add_argument("-j", "--jobs", type=int, default=1, metavar="N",
                        help="workers in parallel, each with its own copy and builds (default 1)")
    parser.add_argument("--list", "--dry-run", action="store_true", dest="list_only",
                        help="print the mutants of the selection and run nothing")
    parser.add_argument("--no-sanitize", action="store_true",
                        help="do not try survivors on the sanitizer build")
    parser.add_argument("--operators", metavar="LIST",
                        help="only the mutants of these operators, comma-separated: " + ",".join(OPERATORS))
    arguments = parser.parse_args()
    if arguments.operators is not None:
        chosen = [name.strip() for name in arguments.operators.split(",") if name.strip()]
        unknown = [name for name in chosen if name not in OPERATORS]
        if unknown or not chosen:
            parser.error(f"--operators takes some of {','.join(OPERATORS)}")
        arguments.operators = set(chosen)
    if arguments.jobs < 1:
        parser.error("-j needs at least one worker")
    if arguments.sample is not None and arguments.sample < 1:
        parser.error("--sample needs at least one mutant")
    return arguments


# ---------------------------------------------------------------------------
# The product files

def repository_root():
    here = os.path.dirname(os.path.abspath(__file__))
    return git(os.path.dirname(here), "rev-parse", "--show-toplevel").strip()


def git(root, *arguments):
    result = subprocess.run(["git", "-C", root, *arguments], capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit(f"mutate.py: git {' '.join(arguments[:2])}: {result.stderr.strip()}")
    return result.stdout


def is_product_file(path):
    folder, _, name = path.partition("/")
    if folder not in PRODUCT_FOLDERS or "/" in name:
        return False
    return (name.endswith(".cpp") and not name.endswith("_win32.cpp")) or name.endswith(".h")


def source_files(root):
    """The files a copy of the tree needs: the tracked ones still there, and the
    new ones git does not ignore."""
    listed = git(root, "ls-files", "-z", "--cached", "--others", "--exclude-standard").split("\0")
    return sorted({path for path in listed if path and os.path.isfile(os.path.join(root, path))})


def selected_files(root, arguments):
    products = [path for path in source_files(root) if is_product_file(path)]
    if not arguments.files:
        return products
    chosen = []
    for name in arguments.files:
        # Named from the current folder, or from the repository's root.
        absolute = os.path.abspath(name) if os.path.exists(name) else os.path.join(root, name)
        path = os.path.relpath(absolute, root).replace(os.sep, "/")
        if path not in products:
            sys.exit(f"mutate.py: {name} is not a product file (.cpp or .h of {', '.join(PRODUCT_FOLDERS)})")
        chosen.append(path)
    return sorted(set(chosen))


def changed_lines(root, revision, files):
    """Per file, the numbers of the lines added or changed since revision, in the
    working tree as it is now. A file git does not track yet is new throughout."""
    diff = git(root, "diff", "--no-color", "--no-ext-diff", "-U0", revision, "--", *files)
    lines = collections.defaultdict(set)
    current = None
    for row in diff.splitlines():
        if row.startswith("+++ "):
            current = row[6:] if row.startswith("+++ b/") else None
        elif row.startswith("@@") and current:
            match = re.match(r"@@ -\S+ \+(\d+)(?:,(\d+))? @@", row)
            first, count = int(match.group(1)), int(match.group(2) or "1")
            lines[current].update(range(first, first + count))
    untracked = git(root, "ls-files", "-z", "--others", "--exclude-standard", "--", *files)
    for path in filter(None, untracked.split("\0")):
        lines[path] = None  # every line
    return lines


# ---------------------------------------------------------------------------
# Reading C++: tokens, with comments, literals and preprocessor lines set apart

Token = collections.namedtuple("Token", "kind text line start end")
# kind: "id" (identifier or keyword), "num", "str" (string or character literal), "op"

PUNCTUATORS = sorted("""<<= >>= <=> ... ->* -> ++ -- << >> <= >= == != && || += -= *= /= %= &= |= ^= ::
    .* { } [ ] ( ) < > ; : , . ? ! ~ + - * / % & | ^ = #""".split(), key=len, reverse=True)
TOKEN_PATTERN = re.compile(r"""
    (?P<space>[ \t\r\f\v]+)
  | (?P<newline>\n)
  | (?P<comment>//[^\n]*|/\*.*?\*/)
  | (?P<raw>(?:u8|[uUL])?R"(?P<delimiter>[^(\s]*)\(.*?\)(?P=delimiter)")
  | (?P<str>(?:u8|[uUL])?(?:"(?:\\.|[^"\\\n])*"|'(?:\\.|[^'\\\n])*'))
  | (?P<num>\.?[0-9](?:[eEpP][+-]|[0-9A-Za-z_.]|'[0-9A-Za-z])*)
  | (?P<id>[A-Za-z_][A-Za-z_0-9]*)
  | (?P<op>""" + "|".join(re.escape(p) for p in PUNCTUATORS) + r""")
  | (?P<other>.)
""", re.VERBOSE | re.DOTALL)
DIRECTIVE_PATTERN = re.compile(r"[ \t]*#(?:[^\n\\]|\\.)*", re.DOTALL)


def tokenize(text):
    """The tokens of text. A preprocessor directive (with its continuation lines)
    yields none: macros are not mutated."""
    tokens = []
    line, line_start, position = 1, 0, 0
    at_line_start = True
    while position < len(text):
        if at_line_start:
            directive = DIRECTIVE_PATTERN.match(text, position)
            if directive:
                line += text.count("\n", position, directive.end())
                if "\n" in text[position:directive.end()]:
                    line_start = text.rindex("\n", position, directive.end()) + 1
                position = directive.end()
                continue
        match = TOKEN_PATTERN.match(text, position)
        kind = match.lastgroup if match.lastgroup != "delimiter" else "raw"
        value = match.group()
        if kind not in ("space", "newline", "comment"):
            # A raw string may span lines: it is a literal like any other.
            tokens.append(Token("str" if kind == "raw" else kind, value, line, position - line_start,
                                position - line_start + len(value)))
        at_line_start = kind == "newline" or (at_line_start and kind in ("space", "comment")
                                              and "\n" not in value)
        newlines = value.count("\n")
        if newlines:
            line += newlines
            line_start = position + value.rindex("\n") + 1
        position = match.end()
    return tokens


# ---------------------------------------------------------------------------
# Where each token stands: in a function body, or in a constant's value

CONTROL_KEYWORDS = {"if", "while", "for", "switch"}
FUNCTION_QUALIFIERS = {"const", "noexcept", "override", "final", "mutable", "volatile"}
DECLARATION_KEYWORDS = {"const", "constexpr", "static", "auto", "unsigned", "signed", "int", "char",
                        "bool", "void", "long", "short", "float", "double", "struct", "class",
                        "enum", "using", "typedef", "extern", "thread_local", "register",
                        "volatile", "typename", "template", "friend", "inline", "static_assert"}
NOT_A_STATEMENT = {"return", "break", "continue", "goto", "throw", "case", "default", "static_assert",
                   "using", "typedef", "if", "else", "while", "do", "for", "switch", "try", "catch"}
EXPRESSION_KEYWORDS = {"return", "case", "sizeof", "delete", "throw", "else", "do", "new"}
ASSIGNMENTS = {"=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>=", "++", "--"}


class Scope:
    """A brace pair: its kind (namespace, class, enum, function, block, data),
    the function it belongs to, and the tokens of the declaration under way."""

    def __init__(self, kind, function):
        self.kind = kind
        self.function = function
        self.statement = []
        self.parens = []  # open ( and [ of this scope: (token index, keyword before)

    @property
    def in_code(self):
        return self.kind in ("function", "block")


def constant_value(statement, parens):
    """True in the value of a const or constexpr declaration, or in a
    constructor's initializer list: values, though outside function bodies."""
    texts = [token.text for token in statement]
    if ")" in texts and ":" in texts[texts.index(")"):]:
        return True
    return "=" in texts and not parens and bool({"const", "constexpr"} & set(texts[:texts.index("=")]))


def mark_templates(tokens):
    """Indices of the < and > that bracket template arguments, never mutated as
    comparisons: a < after a name, up to its > through type-like tokens only,
    followed by what may follow a type or a template's name."""
    marked = set()
    typelike = {"::", "*", "&", ",", "<", ">", ">>"}
    follows = {"(", "::", "{", ")", ",", ";", ">", ">>", "*", "&", "&&", "...", "["}
    for index, token in enumerate(tokens):
        if token.text != "<" or index == 0 or tokens[index - 1].kind != "id":
            continue
        if tokens[index - 1].text == "operator":
            marked.add(index)
            continue
        depth, inside = 0, []
        for after in range(index, len(tokens)):
            text = tokens[after].text
            if tokens[after].kind == "op" and text not in typelike:
                break
            inside.append(after)
            depth += {"<": 1, ">": -1, ">>": -2}.get(text, 0)
            if depth <= 0:
                next_token = tokens[after + 1] if after + 1 < len(tokens) else None
                if next_token is None or next_token.kind == "id" or next_token.text in follows:
                    marked.update(i for i in inside if tokens[i].text in ("<", ">", ">>"))
                break
    return marked


def function_name(statement):
    """The qualified name before the parameter list of a function's declaration:
    "Load", "ProfileSettings::Load", "SlotScanner::~SlotScanner", "operator=="."""
    for index, token in enumerate(statement):
        if token.text != "(":
            continue
        position = index - 1
        if position > 0 and statement[position - 1].text == "operator":
            position -= 1
            name = "operator" + statement[position + 1].text
        elif position >= 0 and statement[position].kind == "id":
            name = statement[position].text
        else:
            return "-"
        if position > 0 and statement[position - 1].text == "~":
            position -= 1
            name = "~" + name
        while position > 1 and statement[position - 1].text == "::" and statement[position - 2].kind == "id":
            position -= 2
            name = statement[position].text + "::" + name
        return name
    return "-"


def scope_of_brace(scope, statement, previous):
    """The kind of the brace that opens after statement, in scope."""
    if scope.in_code:
        return "block"
    texts = [token.text for token in statement]
    if "namespace" in texts or ("extern" in texts and previous.kind == "str"):
        return "namespace"
    if "enum" in texts:
        return "enum"
    if "(" not in texts and any(word in texts for word in ("class", "struct", "union")):
        return "class"
    if scope.kind in ("data", "enum") or previous.text in ("=", ",", "{", "(", "return"):
        return "data"
    if "(" in texts:
        # A member given its value in braces in a constructor's initializer list.
        after_parameters = texts[texts.index(")"):] if ")" in texts else []
        if previous.kind == "id" and previous.text not in FUNCTION_QUALIFIERS and ":" in after_parameters:
            return "data"
        return "function"
    return "data"


Place = collections.namedtuple("Place", "in_code function kind parens constant_value")


def annotate(tokens):
    """The Place of every token: whether it is in a function body, the function,
    the kind of its braces, the ( and [ open around it in them, and whether it
    is in the value of a const or constexpr declaration. Also returns the
    indices of the tokens that start a statement of a function body."""
    outer = Scope("namespace", "-")
    scopes = [outer]
    notes = [None] * len(tokens)
    statement_starts = set()
    expect_statement = True
    label_pending = False
    for index, token in enumerate(tokens):
        scope = scopes[-1]
        text = token.text
        if scope.in_code and not scope.parens and expect_statement and text not in ("{", "}", ";"):
            statement_starts.add(index)
        expect_statement = False
        notes[index] = Place(scope.in_code, scope.function, scope.kind, tuple(scope.parens),
                             not scope.in_code and constant_value(scope.statement, scope.parens))
        if text in ("(", "["):
            keyword = tokens[index - 1].text if index else ""
            scope.parens.append((index, keyword))
        elif text in (")", "]") and scope.parens:
            _, keyword = scope.parens.pop()
            # The statement an if, a while or a for governs starts after its ")".
            expect_statement = text == ")" and keyword in CONTROL_KEYWORDS and not scope.parens
        elif text == "{":
            kind = scope_of_brace(scope, scope.statement, tokens[index - 1] if index else token)
            function = function_name(scope.statement) if kind == "function" else scope.function
            scopes.append(Scope(kind, function))
            expect_statement = True
            continue
        elif text == "}" and len(scopes) > 1:
            closed = scopes.pop()
            scope = scopes[-1]
            if closed.kind != "data":
                scope.statement = []
            else:
                scope.statement.append(token)
            expect_statement = scope.in_code and closed.kind != "data"
            continue
        elif text == ";" and not scope.parens:
            scope.statement = []
            expect_statement = True
            label_pending = False
            continue
        elif text in ("case", "default") and scope.in_code:
            label_pending = True
        elif text == ":" and not scope.parens and (label_pending or tokens[index - 1].text in (
                "public", "private", "protected")):
            label_pending = False
            scope.statement = []
            expect_statement = True
            continue
        elif text in ("else", "do"):
            expect_statement = True
        scope.statement.append(token)
    return notes, statement_starts


# ---------------------------------------------------------------------------
# The mutants

Mutant = collections.namedtuple("Mutant", "path line operator original mutated function")
COMPARISON_SWAPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}


def mutants_of_file(path, text):
    """Every mutant of one file, in line order."""
    lines = text.split("\n")
    tokens = tokenize(text)
    notes, starts = annotate(tokens)
    templates = mark_templates(tokens)
    found = []

    def add(operator, index, changes):
        """changes: (start, end, replacement) on the line of tokens[index]."""
        number = tokens[index].line
        original = lines[number - 1]
        mutated = original
        for start, end, replacement in sorted(changes, reverse=True):
            mutated = mutated[:start] + replacement + mutated[end:]
        found.append(Mutant(path, number, operator, original, mutated, notes[index].function))

    for index, token in enumerate(tokens):
        in_code = notes[index].in_code
        if token.kind == "op" and in_code:
            if token.text in COMPARISON_SWAPS and index not in templates:
                add("ror", index, [(token.start, token.end, COMPARISON_SWAPS[token.text])])
            elif token.text in ("&&", "||") and not declares_reference(tokens, index):
                add("logic", index, [(token.start, token.end, "||" if token.text == "&&" else "&&")])
        if token.kind == "num" and constant_may_change(tokens, index, notes, templates):
            for replacement in neighbour_constants(token.text):
                if not (replacement.startswith("0") and returns_negative(tokens, index)):
                    add("const", index, [(token.start, token.end, replacement)])
        if in_code and token.text in ("if", "while"):
            negation = negated_condition(tokens, index, templates)
            if negation:
                add("negate", index, negation)
        if in_code and token.text == "return":
            replacement = replaced_return(tokens, index, lines, templates)
            if replacement:
                add("return", index, [replacement])
        if index in starts:
            removal = removed_statement(tokens, index)
            if removal:
                add("delete", index, [removal])
    # The later operators come after these on each line: a line that two of
    # them give keeps the first one's name.
    for index, token in enumerate(tokens):
        if not notes[index].in_code:
            continue
        if token.text == "if":
            for changes in removed_guards(tokens, index, notes, lines, templates):
                add("guard", index, changes)
        if token.text == "(":
            for first, changes in swapped_arguments(tokens, index, lines, templates):
                add("swap", first, changes)
        condition = condition_of(tokens, index, notes)
        if condition:
            for changes in dropped_operands(tokens, *condition):
                add("operand", condition[0], changes)
        if token.text in ("<", ">") and index not in templates and not counts_up_to(tokens, index, notes) \
                and not (index and tokens[index - 1].text == "operator"):
            add("widen", index, [(token.start, token.end, "!=")])
    found.sort(key=lambda mutant: mutant.line)
    return found


def declares_reference(tokens, index):
    """&& after a type, as in "auto&& x", is no logical and."""
    return tokens[index].text == "&&" and index + 1 < len(tokens) and index > 0 and \
        tokens[index - 1].text in ("auto", ">") and tokens[index + 1].kind == "id"


def constant_may_change(tokens, index, notes, templates):
    """An integer literal is changed in code, in a constant's or an enumerator's
    value and in a table's data; never in an array's size, a template argument
    or a static_assert, where the change says nothing of the tests."""
    token = tokens[index]
    if not re.fullmatch(r"(0[xX][0-9A-Fa-f]+|[1-9][0-9]*|0)[uUlL]*", token.text):
        return False
    place = notes[index]
    for start, keyword in place.parens:
        if keyword in ("static_assert", "alignas"):
            return False
        if tokens[start].text == "[" and declares_array(tokens, start):
            return False
    if inside_template_arguments(tokens, index, templates):
        return False
    if place.in_code or place.kind in ("data", "enum"):
        return True
    return place.constant_value


def declares_array(tokens, bracket):
    """True when the [ at bracket follows a declared name ("char name[16]"),
    not an expression ("name[16]" after =, (, return...)."""
    position = bracket - 1
    if position < 1 or tokens[position].kind != "id":
        return False
    position -= 1
    while position > 0 and tokens[position].text in ("*", "&"):
        position -= 1
    before = tokens[position]
    return before.kind == "id" and before.text not in EXPRESSION_KEYWORDS


def inside_template_arguments(tokens, index, templates):
    """True for a number between template brackets, as in std::array<int, 4>."""
    depth = 0
    for position in range(index - 1, max(-1, index - 12), -1):
        text = tokens[position].text
        if position in templates:
            depth += 1 if text == "<" else -1
            if depth > 0:
                return True
        elif tokens[position].kind == "op" and text not in ("::", ",", "*", "&"):
            return False
    return False


def returns_negative(tokens, index):
    """True for the 1 of "return -1;": its -0 would be the return operator's 0."""
    return index > 1 and tokens[index - 1].text == "-" and tokens[index - 2].text == "return" and \
        index + 1 < len(tokens) and tokens[index + 1].text == ";"


def neighbour_constants(text):
    """The literal plus one and minus one (never below 0), spelled as it is."""
    body, suffix = re.fullmatch(r"(0[xX][0-9A-Fa-f]+|[0-9]+)([uUlL]*)", text).groups()
    if body[:2] in ("0x", "0X"):
        value = int(body, 16)
        digits = body[2:]
        style = "X" if any(c in "ABCDEF" for c in digits) else "x"

        def spell(number):
            return body[:2] + format(number, f"0{len(digits)}{style}")
    else:
        value = int(body)

        def spell(number):
            return str(number)
    spelled = [spell(value + 1) + suffix]
    if value > 0:
        spelled.append(spell(value - 1) + suffix)
    return spelled


def matching_close(tokens, open_index):
    """Index of the ) that closes the ( at open_index, when on the same line."""
    depth = 0
    for position in range(open_index, len(tokens)):
        if tokens[position].line != tokens[open_index].line:
            return None
        depth += {"(": 1, ")": -1}.get(tokens[position].text, 0)
        if depth == 0:
            return position
    return None


def negated_condition(tokens, index, templates):
    """if (c) -> if (!(c)), while (c) -> while (!(c)); the condition on one line."""
    if index + 1 >= len(tokens) or tokens[index + 1].text != "(":
        return None
    close = matching_close(tokens, index + 1)
    if close is None or close == index + 2:
        return None
    if any(token.text == ";" for token in tokens[index + 2:close]):
        return None  # an if with an initializer
    if top_level_operators(tokens, index + 2, close, templates) in (["=="], ["!="]):
        return None  # the same as the comparison flipped
    opening, closing = tokens[index + 1], tokens[close]
    return [(opening.end, opening.end, "!("), (closing.start, closing.start, ")")]


def statement_end(tokens, index):
    """Index of the ; that ends the statement starting at index, on its line, with
    no brace between; None otherwise."""
    depth = 0
    for position in range(index, len(tokens)):
        token = tokens[position]
        if token.line != tokens[index].line or token.text in ("{", "}"):
            return None
        depth += {"(": 1, "[": 1, ")": -1, "]": -1}.get(token.text, 0)
        if token.text == ";" and depth == 0:
            return position
    return None


def replaced_return(tokens, index, lines, templates):
    """return true <-> return false; a comparison's result negated; anything
    else returns 0. A literal number is left to the constant operator."""
    end = statement_end(tokens, index)
    if end is None or end == index + 1:
        return None
    value = tokens[index + 1:end]
    first, last = value[0], value[-1]
    texts = [token.text for token in value]
    if texts == ["true"]:
        return first.start, last.end, "false"
    if texts == ["false"]:
        return first.start, last.end, "true"
    if texts in (["nullptr"], ["0"]) or (len(value) == 1 and value[0].kind == "num"):
        return None
    operators = top_level_operators(tokens, index + 1, end, templates)
    is_condition = (operators and "?" not in operators) or (first.text == "!" and not operators)
    if is_condition and operators not in (["=="], ["!="]):
        return first.start, last.end, "!(" + lines[first.line - 1][first.start:last.end] + ")"
    return first.start, last.end, "0"


CONDITION_OPERATORS = ("==", "!=", "<", "<=", ">", ">=", "&&", "||", "?")


def top_level_operators(tokens, first, end, templates):
    """The comparison, logical and conditional operators of tokens[first:end]
    outside parentheses and brackets; template brackets are none."""
    depth, found = 0, []
    for position in range(first, end):
        text = tokens[position].text
        depth += {"(": 1, "[": 1, ")": -1, "]": -1}.get(text, 0)
        if depth == 0 and text in CONDITION_OPERATORS and position not in templates:
            found.append(text)
    return found


def removed_statement(tokens, index):
    """A one-line statement that calls a function or assigns, replaced by ";".
    Never a declaration, a return or a jump, nor one with a brace."""
    end = statement_end(tokens, index)
    if end is None or end == index:
        return None
    statement = tokens[index:end]
    if statement[0].text in NOT_A_STATEMENT or is_declaration(statement):
        return None
    depth, acts = 0, statement[0].text == "delete"
    for position, token in enumerate(statement):
        if token.text == "(" and position > 0 and (statement[position - 1].kind == "id" or
                                                   statement[position - 1].text in (">", ")", "]")):
            acts = True
        depth += {"(": 1, "[": 1, ")": -1, "]": -1}.get(token.text, 0)
        if depth == 0 and token.text in ASSIGNMENTS:
            acts = True
    if not acts:
        return None
    return statement[0].start, tokens[end].end, ";"


def is_declaration(statement):
    """A type then a name: "T x", "ns::T<U> x", "T* x = ...", "T& x = ..."."""
    if statement[0].text in DECLARATION_KEYWORDS:
        return True
    position = 0
    while position < len(statement):
        if statement[position].kind != "id":
            return False
        position += 1
        if position < len(statement) and statement[position].text == "<":
            depth = 0
            while position < len(statement):
                depth += {"<": 1, ">": -1, ">>": -2}.get(statement[position].text, 0)
                position += 1
                if depth <= 0:
                    break
        if position < len(statement) and statement[position].text == "::":
            position += 1
            continue
        break
    while position < len(statement) and statement[position].text in ("*", "&", "&&"):
        position += 1
    return position < len(statement) and statement[position].kind == "id"


def matching(tokens, open_index):
    """Index of the ), ] or } that closes the bracket at open_index, on any line."""
    opening = tokens[open_index].text
    closing = {"(": ")", "[": "]", "{": "}"}[opening]
    depth = 0
    for position in range(open_index, len(tokens)):
        text = tokens[position].text
        if text == opening:
            depth += 1
        elif text == closing:
            depth -= 1
            if depth == 0:
                return position
    return None


def statement_last(tokens, start):
    """Index of the last token of the statement that starts at start, over any
    number of lines: a block's }, the end of an if's else part, of a loop's
    body; None when it cannot tell."""
    if start >= len(tokens):
        return None
    text = tokens[start].text
    if text == "{":
        return matching(tokens, start)
    if text in CONTROL_KEYWORDS:
        open_index = start + 1
        if text == "if" and open_index < len(tokens) and tokens[open_index].text == "constexpr":
            open_index += 1
        if open_index >= len(tokens) or tokens[open_index].text != "(":
            return None
        close = matching(tokens, open_index)
        last = None if close is None else statement_last(tokens, close + 1)
        if text == "if" and last is not None and last + 1 < len(tokens) and tokens[last + 1].text == "else":
            return statement_last(tokens, last + 2)
        return last
    if text == "do":
        body = statement_last(tokens, start + 1)
        if body is None or body + 2 >= len(tokens) or tokens[body + 1].text != "while" or \
                tokens[body + 2].text != "(":
            return None
        close = matching(tokens, body + 2)
        if close is None or close + 1 >= len(tokens) or tokens[close + 1].text != ";":
            return None
        return close + 1
    depth = 0
    for position in range(start, len(tokens)):
        text = tokens[position].text
        if text in ("(", "[", "{"):
            depth += 1
        elif text in (")", "]", "}"):
            depth -= 1
            if depth < 0:
                return None
        elif text == ";" and depth == 0:
            return position
    return None


def opening_brace(tokens, close_index):
    """Index of the { that the } at close_index closes."""
    depth = 0
    for position in range(close_index, -1, -1):
        depth += {"}": 1, "{": -1}.get(tokens[position].text, 0)
        if depth == 0:
            return position
    return None


def closes_loop_body(tokens, close_index):
    """True when the } at close_index ends the body of a for, a while or a do."""
    opening = opening_brace(tokens, close_index)
    if opening is None or opening == 0:
        return False
    before = tokens[opening - 1]
    if before.text == "do":
        return True
    if before.text != ")":
        return False
    depth = 0
    for position in range(opening - 1, 0, -1):
        depth += {")": 1, "(": -1}.get(tokens[position].text, 0)
        if depth == 0:
            return tokens[position - 1].text in ("for", "while")
    return False


PURE_BEFORE_PARENTHESIS = {"sizeof", "alignof", "alignas", "decltype", "noexcept"}


def has_side_effects(tokens, first, end, templates):
    """True when tokens[first:end] may call a function or change a variable:
    the mutants of a guard then keep it evaluated."""
    for position in range(first, end):
        token = tokens[position]
        if token.text in ASSIGNMENTS or token.text in ("new", "delete"):
            return True
        if token.text != "(" or position == 0:
            continue
        before = tokens[position - 1]
        if before.kind == "id" and before.text not in PURE_BEFORE_PARENTHESIS:
            return True
        if before.text in (")", "]"):
            return True  # a call through a pointer or of a call's result
        if before.text in (">", ">>") and position - 1 in templates:
            # static_cast<T>(x) calls nothing; f<T>(x) does.
            depth = 0
            for back in range(position - 1, 0, -1):
                if back in templates:
                    depth += {"<": -1, ">": 1, ">>": 2}[tokens[back].text]
                if depth <= 0:
                    if not tokens[back - 1].text.endswith("_cast"):
                        return True
                    break
    return False


EXITS = ("return", "break", "continue")


def is_operand(tokens, first, end):
    """True when tokens[first:end] needs no parentheses before || or &&: a
    name, a call, a member, a subscript, maybe negated."""
    depth = 0
    for position in range(first, end):
        text = tokens[position].text
        if text in ("(", "["):
            depth += 1
        elif text in (")", "]"):
            depth -= 1
        elif depth == 0 and tokens[position].kind == "op" and text not in ("!", ".", "->", "::"):
            return False
    return True


def removed_guards(tokens, index, notes, lines, templates):
    """The guard of an if that has no else taken away, its condition on one
    line: the statement it governs always runs; and a guarded return, break or
    continue removed whole, so that the code never leaves early. A condition
    that may call or assign is kept evaluated: (c) || true, (c) && false.
    Without it, "if (c) " is dropped and a guarded exit becomes ";", or when
    the statement starts on a later line the condition becomes true or false.
    Never an if constexpr, an if with an initializer or a declaration."""
    if index + 1 >= len(tokens) or tokens[index + 1].text != "(":
        return []
    opening = tokens[index + 1]
    close = matching_close(tokens, index + 1)
    if close is None or close == index + 2 or close + 1 >= len(tokens):
        return []
    condition = tokens[index + 2:close]
    if any(token.text == ";" for token in condition) or (
            is_declaration(condition) and any(token.text == "=" for token in condition)):
        return []
    guarded = tokens[close + 1]
    last = statement_last(tokens, close + 1)
    if guarded.text == ";" or last is None or (last + 1 < len(tokens) and tokens[last + 1].text == "else"):
        return []
    leaves = guarded.text in EXITS
    following = tokens[last + 1] if last + 1 < len(tokens) else None
    ends_function = following is not None and following.text == "}" and notes[last + 1].kind == "function"
    if leaves and following is not None and following.text == "}" and (
            (guarded.text == "return" and tokens[close + 2].text == ";" and ends_function) or
            (guarded.text == "continue" and closes_loop_body(tokens, last + 1))):
        return []  # the last thing its function or loop does: leaving early changes nothing
    text = lines[tokens[index].line - 1][tokens[index + 2].start:tokens[close - 1].end]
    whole = (opening.start, tokens[close].end)
    if has_side_effects(tokens, index + 2, close, templates):
        if not is_operand(tokens, index + 2, close):
            text = f"({text})"
        always = [(*whole, f"({text} || true)")]
        never = [(*whole, f"({text} && false)")]
    elif guarded.line == tokens[index].line:
        always = [(tokens[index].start, guarded.start, "")]
        end = statement_end(tokens, close + 1)
        never = [(tokens[index].start, tokens[end].end, ";")] if end is not None else [(*whole, "(false)")]
    else:
        always = [(*whole, "(true)")]
        never = [(*whole, "(false)")]
    if not leaves:
        return [always]
    if guarded.text == "return" and tokens[close + 2].text != ";" and ends_function:
        return [always]  # without it, the function would end without a value
    return [always, never]


COMMUTATIVE = {"min", "max", "swap"}
NOT_CALLED = PURE_BEFORE_PARENTHESIS | CONTROL_KEYWORDS | {
    "return", "static_assert", "catch", "case", "throw", "new", "delete", "else", "do", "operator"}
NOT_A_NAME = {"true", "false", "nullptr", "this"} | NOT_CALLED | DECLARATION_KEYWORDS
INTEGER_PATTERN = re.compile(r"(0[xX][0-9A-Fa-f]+|[1-9][0-9]*|0)[uUlL]*")
CONSTANT_NAME = re.compile(r"k[A-Z0-9]\w*|[A-Z][A-Z0-9]*_[A-Z0-9_]*|[A-Z][A-Z0-9]+")


def argument_kind(argument):
    """What two arguments must share to be swapped: a plain name, with its
    members reached through . or -> and its qualification through ::
    (x, settings.Folder, app->window), either a variable's or a constant's
    (sys::kMaxPath, IDS_TITLE); one kind per literal: integer (a minus
    allowed), string, character, bool, their prefix apart. None for anything
    else."""
    texts = [token.text for token in argument]
    if texts in (["true"], ["false"]):
        return "bool"
    number = argument[1:] if texts[:1] == ["-"] else argument
    if len(number) == 1 and number[0].kind == "num":
        return "integer" if INTEGER_PATTERN.fullmatch(number[0].text) else None
    if len(argument) == 1 and argument[0].kind == "str":
        text = argument[0].text
        quote = min(text.find(mark) for mark in "\"'" if mark in text)
        prefix = text[:quote].replace("R", "")
        return ("string " if text[quote] == '"' else "character ") + prefix
    if len(argument) % 2 == 0:
        return None
    for position, token in enumerate(argument):
        if position % 2 == 0 and (token.kind != "id" or token.text in NOT_A_NAME):
            return None
        if position % 2 == 1 and token.text not in (".", "->", "::"):
            return None
    # By the code's naming, a constant (kMaxPath, IDS_TITLE, SIZE_MAX) is seldom
    # of a variable's type.
    return "constant" if CONSTANT_NAME.fullmatch(argument[-1].text) else "name"


def swapped_arguments(tokens, index, lines, templates):
    """The arguments of the call whose ( is at index, each adjacent pair of one
    kind (argument_kind) and on one line swapped: (index of the pair's first
    token, changes). Never two arguments spelled alike, nor those of min, max
    and swap, which do not care."""
    if index == 0:
        return []
    before = tokens[index - 1]
    if before.kind == "id":
        if before.text in NOT_CALLED or before.text in COMMUTATIVE:
            return []
    elif not (before.text in (">", ">>") and index - 1 in templates):
        return []
    close = matching(tokens, index)
    if close is None or close == index + 1:
        return []
    arguments, first, depth = [], index + 1, 0  # (first, end) of each argument
    for position in range(index + 1, close):
        text = tokens[position].text
        if text in ("(", "[", "{"):
            depth += 1
        elif text in (")", "]", "}"):
            depth -= 1
        elif position in templates:
            depth += {"<": 1, ">": -1, ">>": -2}[text]
        elif text == "," and depth == 0:
            arguments.append((first, position))
            first = position + 1
    arguments.append((first, close))
    swaps = []
    for (left_first, left_end), (right_first, right_end) in zip(arguments, arguments[1:]):
        left, right = tokens[left_first:left_end], tokens[right_first:right_end]
        if not left or not right or left[0].line != right[-1].line:
            continue
        kind = argument_kind(left)
        if kind is None or kind != argument_kind(right):
            continue
        line = lines[left[0].line - 1]
        left_text = line[left[0].start:left[-1].end]
        right_text = line[right[0].start:right[-1].end]
        if squeeze(left_text) == squeeze(right_text):
            continue
        swaps.append((left_first, [(left[0].start, left[-1].end, right_text),
                                   (right[0].start, right[-1].end, left_text)]))
    return swaps


def condition_of(tokens, index, notes):
    """The tokens (first, end) of the condition that starts at index: that of
    an if or a while, the value of a return, the value assigned by an = of a
    statement; None elsewhere."""
    text = tokens[index].text
    if text in ("if", "while"):
        if index + 1 >= len(tokens) or tokens[index + 1].text != "(":
            return None
        close = matching_close(tokens, index + 1)
        if close is None or any(token.text == ";" for token in tokens[index + 2:close]):
            return None
        return index + 2, close
    if text == "return" or (text == "=" and not notes[index].parens):
        end = statement_end(tokens, index)
        return (index + 1, end) if end is not None else None
    return None


def dropped_operands(tokens, first, end):
    """Each operand of the top-level || chain of tokens[first:end] (or of its
    && chain, when it has no ||) dropped in turn with its operator: a && b
    gives a and b. Only on one line, and never in an assignment, a ?: or a
    list, where the operands are not the condition's."""
    if end - first < 3 or tokens[first].line != tokens[end - 1].line:
        return []
    depth, ors, ands = 0, [], []
    for position in range(first, end):
        text = tokens[position].text
        if text in ("(", "[", "{"):
            depth += 1
        elif text in (")", "]", "}"):
            depth -= 1
        elif depth == 0:
            if text == "||":
                ors.append(position)
            elif text == "&&":
                ands.append(position)
            elif text in ("?", ",") or (text in ASSIGNMENTS and text not in ("++", "--")):
                return []
    separators = ors or ands
    if not separators:
        return []
    operands = list(zip([first] + [separator + 1 for separator in separators], separators + [end]))
    if any(start >= stop for start, stop in operands):
        return []
    dropped = [[(tokens[first].start, tokens[operands[1][0]].start, "")]]
    for (_, previous_stop), (_, stop) in zip(operands, operands[1:]):
        dropped.append([(tokens[previous_stop - 1].end, tokens[stop - 1].end, "")])
    return dropped


def counts_up_to(tokens, index, notes):
    """True for the < of "for (... i = 0; i < n; ++i)": there i != n ends the
    loop at the same place whenever n is not negative, so that widening it
    would almost always be equivalent."""
    place = notes[index]
    if tokens[index].text != "<" or not place.parens or place.parens[-1][1] != "for":
        return False
    open_index = place.parens[-1][0]
    close = matching(tokens, open_index)
    if close is None:
        return False
    semicolons = [position for position in range(open_index + 1, close) if tokens[position].text == ";"
                  and notes[position].parens == place.parens]
    if len(semicolons) != 2 or not semicolons[0] < index < semicolons[1]:
        return False
    variable = tokens[index - 1].text
    if tokens[index - 1].kind != "id" or tokens[index - 2].text not in (";", "&&"):
        return False
    start = [token.text for token in tokens[semicolons[0] - 3:semicolons[0]]]
    step = [token.text for token in tokens[semicolons[1] + 1:close]]
    return start == [variable, "=", "0"] and step in (["++", variable], [variable, "++"])


def all_mutants(root, files, lines_changed):
    """The texts of the files, their mutants on the lines selected (two
    operators that give the same line give one mutant), and the keys of the
    mutants, numbered over whole files whatever the selection."""
    texts, mutants, keys = {}, [], {}
    for path in files:
        # Bytes that are not UTF-8 are kept as they are, through surrogates.
        with open(os.path.join(root, path), encoding="utf-8", errors="surrogateescape", newline="") as source:
            texts[path] = source.read()
        unique, seen = [], set()
        for mutant in mutants_of_file(path, texts[path]):
            if (mutant.line, mutant.mutated) not in seen:
                seen.add((mutant.line, mutant.mutated))
                unique.append(mutant)
        keys.update(mutant_keys(unique))
        for mutant in unique:
            if lines_changed is None or (path in lines_changed and (
                    lines_changed[path] is None or mutant.line in lines_changed[path])):
                mutants.append(mutant)
    return texts, mutants, keys


# ---------------------------------------------------------------------------
# Equivalent mutants: their keys

def squeeze(text):
    return " ".join(text.split())


def mutant_keys(mutants):
    """The key of each mutant: file, function and both lines, squeezed; a number
    after the function tells identical mutants of one function apart."""
    seen = collections.Counter()
    keys = {}
    for mutant in sorted(mutants, key=lambda m: (m.path, m.line)):
        base = (mutant.path, mutant.function, squeeze(mutant.original), squeeze(mutant.mutated))
        seen[base] += 1
        function = mutant.function + (f"#{seen[base]}" if seen[base] > 1 else "")
        keys[mutant] = f"{mutant.path}: {function}: {base[2]} -> {base[3]}"
    return keys


def read_equivalents(root):
    """The keys listed in the file of equivalent mutants; the reason after "  #"
    is for people. Both halves are tried, as a line may itself hold "  #"."""
    keys = set()
    path = os.path.join(root, EQUIVALENTS_FILE)
    if not os.path.exists(path):
        return keys
    with open(path, encoding="utf-8") as listed:
        for row in listed:
            row = row.rstrip("\n")
            if not row.strip() or row.lstrip().startswith("#"):
                continue
            keys.add(squeeze(row))
            for match in re.finditer(r"\s{2,}#", row):
                keys.add(squeeze(row[:match.start()]))
    return keys


# ---------------------------------------------------------------------------
# Choosing the mutants to run

def sample_mutants(mutants, size, seed):
    """size mutants spread over every file: one each first, the rest in
    proportion to each file's mutants (largest remainders), drawn at random."""
    rng = random.Random(seed)
    by_file = collections.defaultdict(list)
    for mutant in mutants:
        by_file[mutant.path].append(mutant)
    files = sorted(by_file)
    if size >= len(mutants):
        return list(mutants)
    if size < len(files):
        files = rng.sample(files, size)
        share = {path: 1 for path in files}
    else:
        share = {path: 1 for path in files}
        left = size - len(files)
        spare = {path: len(by_file[path]) - 1 for path in files}
        total = sum(spare.values())
        exact = {path: left * spare[path] / total for path in files}
        for path in files:
            share[path] += int(exact[path])
        remainder = size - sum(share.values())
        for path in sorted(files, key=lambda p: (exact[p] - int(exact[p]), rng.random()), reverse=True):
            if remainder == 0:
                break
            if share[path] < len(by_file[path]):
                share[path] += 1
                remainder -= 1
    chosen = []
    for path in files:
        chosen += rng.sample(by_file[path], share[path])
    return sorted(chosen, key=lambda m: (m.path, m.line, m.operator, m.mutated))


# ---------------------------------------------------------------------------
# Shown one per line

def shown(mutant, width=60, context=24):
    """original -> mutant: the stripped lines, or only around the change when
    a line is long."""
    original, mutated = mutant.original.strip(), mutant.mutated.strip()
    if max(len(original), len(mutated)) <= width:
        return f"{original} -> {mutated}"
    prefix = len(os.path.commonprefix([original, mutated]))
    suffix = len(os.path.commonprefix([original[prefix:][::-1], mutated[prefix:][::-1]]))
    start = max(0, prefix - context)

    def window(text):
        end = min(len(text), len(text) - suffix + context)
        return ("..." if start else "") + text[start:end] + ("..." if end < len(text) else "")
    return f"{window(original)} -> {window(mutated)}"


def listed_line(mutant):
    return f"{mutant.path}:{mutant.line}: {shown(mutant)}"


# ---------------------------------------------------------------------------
# The presets, read rather than copied, and the workers' copies

def preset_settings(root, name):
    """Generator, cache variables and binary folder (relative to the source) of a
    configure preset, its inherited presets resolved."""
    with open(os.path.join(root, "CMakePresets.json"), encoding="utf-8") as presets:
        configure = {preset["name"]: preset for preset in json.load(presets)["configurePresets"]}

    def resolve(preset):
        parents = preset.get("inherits", [])
        merged = {"cacheVariables": {}}
        for parent in [parents] if isinstance(parents, str) else parents:
            inherited = resolve(configure[parent])
            merged.update({k: v for k, v in inherited.items() if k != "cacheVariables"})
            merged["cacheVariables"].update(inherited["cacheVariables"])
        merged.update({k: v for k, v in preset.items() if k != "cacheVariables"})
        merged["cacheVariables"].update(preset.get("cacheVariables", {}))
        return merged
    preset = resolve(configure[name])
    binary = preset["binaryDir"].replace("${sourceDir}/", "")
    if "$" in binary or os.path.isabs(binary):
        raise RuntimeError(f"the binary folder of preset {name} is not below the source")
    # A cache variable is a string, or an object with its type and value.
    variables = {variable: value["value"] if isinstance(value, dict) else value
                 for variable, value in preset["cacheVariables"].items()}
    return preset.get("generator", "Ninja"), variables, binary


class Stopped(Exception):
    """Ctrl-C, or another worker's failure: the run ends."""


class Worker:
    """One copy of the tree with its two builds; mutates one file of it at a time."""

    def __init__(self, number, root, texts, jobs, stop):
        self.number = number
        self.root = root
        self.copy = os.path.join(root, WORK_FOLDER, f"w{number}", "src")
        self.texts = texts
        self.build_jobs = str(max(1, (os.cpu_count() or 1) // jobs))
        self.stop = stop
        self.process = None
        self.builds = {}  # preset: build folder, once built unmutated
        self.baselines = {}  # preset: seconds of the unmutated test run
        self.timeouts = {}
        self.use_sanitizer = True

    def synchronize(self, files):
        """Makes the copy equal the working tree: a file is rewritten, with a new
        time, only when it differs, so the builds stay incremental."""
        os.makedirs(self.copy, exist_ok=True)
        for path in files:
            with open(os.path.join(self.root, path), "rb") as original:
                content = original.read()
            target = os.path.join(self.copy, path)
            if os.path.exists(target):
                with open(target, "rb") as copied:
                    if copied.read() == content:
                        continue
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "wb") as copied:
                copied.write(content)
        wanted = set(files)
        for folder, subfolders, names in os.walk(self.copy):
            relative = os.path.relpath(folder, self.copy).replace(os.sep, "/")
            if relative == ".":
                subfolders[:] = [name for name in subfolders if name != "build"]
            for name in names:
                if (name if relative == "." else f"{relative}/{name}") not in wanted:
                    os.remove(os.path.join(folder, name))  # a file the tree no longer has

    def execute(self, command, cwd=None, timeout=None, stop_signal=signal.SIGINT):
        """Runs command in a session of its own, so that Ctrl-C reaches it only
        through stop(): its outcome is then never taken for a mutant's.
        Returns the exit status and output, or None for the output on timeout."""
        if self.stop.is_set():
            raise Stopped()
        self.process = subprocess.Popen(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                        stdin=subprocess.DEVNULL, start_new_session=True)
        self.stop_signal = stop_signal
        try:
            output, _ = self.process.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.end_process(signal.SIGKILL)
            self.process.communicate()
            output = None
        finally:
            returncode, self.process = self.process.returncode, None
        if self.stop.is_set():
            raise Stopped()
        return returncode, output

    def end_process(self, stop_signal=None):
        """Ends the command under way with its whole process group. A build gets
        SIGINT, on which Ninja removes what it had half written."""
        process = self.process
        if process is not None and process.poll() is None:
            try:
                os.killpg(process.pid, stop_signal or self.stop_signal)
            except ProcessLookupError:
                pass

    def prepare(self, preset):
        """Configures the preset's build in the copy, once, with the preset's
        generator and cache variables, and builds it; then checks that the
        unmutated tests pass and sets the time limit from their time."""
        generator, variables, binary = preset_settings(self.copy, preset)
        build = os.path.join(self.copy, binary)
        if not os.path.exists(os.path.join(build, "CMakeCache.txt")):
            command = ["cmake", "-S", self.copy, "-B", build, "-G", generator]
            status, output = self.execute(command + [f"-D{name}={value}" for name, value in variables.items()])
            if status != 0:
                raise RuntimeError(f"worker {self.number}: configuring {preset} failed:\n{output.decode()}")
        if not self.build(build):
            raise RuntimeError(f"worker {self.number}: the unmutated {preset} build fails "
                               f"(cmake --build {os.path.relpath(build)} shows why)")
        started = time.monotonic()
        outcome, failed = self.run_tests(build, None)
        baseline = time.monotonic() - started
        if outcome != "survived":
            raise RuntimeError(f"worker {self.number}: the unmutated tests fail in {preset} ({failed})")
        self.builds[preset] = build
        self.baselines[preset] = baseline
        self.timeouts[preset] = max(MINIMUM_TIMEOUT, TIMEOUT_FACTOR * baseline)
        return baseline

    def build(self, build):
        status, _ = self.execute(["cmake", "--build", build, "--target", TEST_TARGET, "-j", self.build_jobs])
        return status == 0

    def run_tests(self, build, timeout):
        """killed, survived or timed out, and what failed: the first failing
        test, or the exit status of a crash."""
        command = [os.path.join(build, TEST_TARGET), "--gtest_brief=1", "--gtest_fail_fast"]
        status, output = self.execute(command, cwd=build, timeout=timeout, stop_signal=signal.SIGKILL)
        if output is None:
            return "timed out", None
        if status == 0:
            return "survived", None
        failed = re.search(rb"\[  FAILED  \] (\S+)", output)
        return "killed", failed.group(1).decode() if failed else f"exit status {status}"

    def write(self, path, text):
        target = os.path.join(self.copy, path)
        with open(target, "w", encoding="utf-8", errors="surrogateescape", newline="") as copied:
            copied.write(text)
        # Never the old time back: Ninja would keep the objects of the mutant.
        now = time.time()
        os.utime(target, (now, now))

    def apply(self, mutant):
        lines = self.texts[mutant.path].split("\n")
        lines[mutant.line - 1] = mutant.mutated
        self.write(mutant.path, "\n".join(lines))

    def restore(self, mutant):
        self.write(mutant.path, self.texts[mutant.path])

    def test(self, mutant):
        """The outcome of one mutant, the build that decided it, and what failed."""
        self.apply(mutant)
        try:
            if not self.build(self.builds[NATIVE_PRESET]):
                return "not compiled", None, None
            started = time.monotonic()
            outcome, failed = self.run_tests(self.builds[NATIVE_PRESET], self.timeouts[NATIVE_PRESET])
            native_seconds = time.monotonic() - started
            if outcome != "survived" or not self.use_sanitizer:
                return outcome, NATIVE_PRESET, failed
            if SANITIZE_PRESET not in self.builds:
                self.prepare_sanitizer(mutant)
                if not self.use_sanitizer:
                    return outcome, NATIVE_PRESET, failed
            if not self.build(self.builds[SANITIZE_PRESET]):
                return "survived", NATIVE_PRESET, None
            # A mutant that only slows the tests down passed the plain run: the
            # sanitizer's limit grows with that slowness, or it would time out.
            slowness = native_seconds / self.baselines[NATIVE_PRESET]
            expected = self.baselines[SANITIZE_PRESET] * max(1.0, slowness)
            timeout = max(self.timeouts[SANITIZE_PRESET], TIMEOUT_FACTOR * expected)
            outcome, failed = self.run_tests(self.builds[SANITIZE_PRESET], timeout)
            return outcome, SANITIZE_PRESET, failed
        finally:
            self.restore(mutant)

    def prepare_sanitizer(self, mutant):
        """Builds the sanitizer's tree when a first mutant survives, from the
        unmutated copy; without it, survivors stay survivors."""
        self.restore(mutant)
        progress(f"worker {self.number}: building {SANITIZE_PRESET} for the first survivor")
        try:
            self.prepare(SANITIZE_PRESET)
        except RuntimeError as error:
            progress(f"{error}\nsurvivors are not tried on {SANITIZE_PRESET}")
            self.use_sanitizer = False
        self.apply(mutant)


# ---------------------------------------------------------------------------
# The run

OUTPUT_LOCK = threading.Lock()


def progress(text):
    with OUTPUT_LOCK:
        print(text, file=sys.stderr, flush=True)


def run_mutants(root, files, texts, mutants, keys, arguments):
    """Runs the mutants through the workers. Returns the outcome of each mutant
    that ran, and whether the run was interrupted."""
    stop = threading.Event()
    workers = [Worker(number, root, texts, arguments.jobs, stop) for number in range(1, arguments.jobs + 1)]
    os.makedirs(os.path.join(root, WORK_FOLDER), exist_ok=True)
    log = open(os.path.join(root, WORK_FOLDER, "results.jsonl"), "w", encoding="utf-8")
    pending = collections.deque(mutants)
    results = {}
    failures = []
    started = time.monotonic()

    def record(mutant, outcome, by, failed, seconds):
        with OUTPUT_LOCK:
            results[mutant] = outcome
            log.write(json.dumps({
                "file": mutant.path, "line": mutant.line, "operator": mutant.operator,
                "function": mutant.function, "original": mutant.original.strip(),
                "mutated": mutant.mutated.strip(), "key": keys[mutant], "outcome": outcome,
                "build": by, "failed": failed, "seconds": round(seconds, 1)}, ensure_ascii=False) + "\n")
            log.flush()
            note = " by the sanitizer" if by == SANITIZE_PRESET and outcome != "survived" else ""
            print(f"[{len(results)}/{len(mutants)}] {mutant.path}:{mutant.line} {mutant.operator} {outcome}{note}",
                  file=sys.stderr, flush=True)

    def work(worker):
        try:
            worker.synchronize(files)
            worker.use_sanitizer = not arguments.no_sanitize
            baseline = worker.prepare(NATIVE_PRESET)
            progress(f"worker {worker.number}: the unmutated tests pass in {baseline:.1f} s; "
                     f"time limit {worker.timeouts[NATIVE_PRESET]:.0f} s")
            while True:
                with OUTPUT_LOCK:
                    if not pending:
                        return
                    mutant = pending.popleft()
                begun = time.monotonic()
                outcome, by, failed = worker.test(mutant)
                record(mutant, outcome, by, failed, time.monotonic() - begun)
        except Stopped:
            pass
        except Exception as error:  # noqa: BLE001 - reported by the main thread, which ends the run
            failures.append(error)
            stop.set()

    threads = [threading.Thread(target=work, args=(worker,), daemon=True) for worker in workers]
    for thread in threads:
        thread.start()
    interrupted = False
    try:
        while any(thread.is_alive() for thread in threads):
            for thread in threads:
                thread.join(0.2)
    except KeyboardInterrupt:
        interrupted = True
        progress("interrupted: ending the builds and test runs under way")
    finally:
        # The workers put their copies back; the working tree was never touched.
        stop.set()
        for worker in workers:
            worker.end_process()
        for thread in threads:
            thread.join()
        log.close()
    if failures:
        raise failures[0]
    if results:
        elapsed = time.monotonic() - started
        progress(f"{len(results)} mutants in {elapsed / 60:.1f} min, {elapsed * len(workers) / len(results):.1f} s "
                 f"each by one worker, first builds included")
    return results, interrupted


def report(root, mutants, results, keys, equivalents):
    """Survivors, one a line, then the equivalents skipped, then the score."""
    survivors = [mutant for mutant in mutants if results.get(mutant) == "survived"]
    for mutant in survivors:
        print(listed_line(mutant))
    with open(os.path.join(root, WORK_FOLDER, "survivors.txt"), "w", encoding="utf-8") as keys_file:
        for mutant in survivors:
            keys_file.write(f"{keys[mutant]}  # \n")
    counts = collections.Counter(results.values())
    compiled = counts["killed"] + counts["timed out"] + counts["survived"]
    killed = counts["killed"] + counts["timed out"]
    score = 100.0 * killed / compiled if compiled else 0.0
    print(f"{equivalents} equivalent mutants skipped")
    print(f"killed {killed} of {compiled} ({score:.1f} %), {counts['not compiled']} not compiled, "
          f"{counts['timed out']} timed out")


def interrupt(signal_number, frame):
    raise KeyboardInterrupt()


def main():
    arguments = parse_arguments()
    root = repository_root()
    files = selected_files(root, arguments)
    lines_changed = changed_lines(root, arguments.since, files) if arguments.since else None
    texts, mutants, keys = all_mutants(root, files, lines_changed)
    if arguments.operators:
        mutants = [mutant for mutant in mutants if mutant.operator in arguments.operators]
    equivalent_keys = read_equivalents(root)
    equivalent = [mutant for mutant in mutants if keys[mutant] in equivalent_keys]
    candidates = [mutant for mutant in mutants if keys[mutant] not in equivalent_keys]

    if arguments.list_only:
        for mutant in mutants:
            mark = "  (equivalent)" if keys[mutant] in equivalent_keys else ""
            print(f"{listed_line(mutant)}  [{mutant.operator}]{mark}")
        print(f"{len(mutants)} mutants in {len({m.path for m in mutants})} files, {len(equivalent)} equivalent")
        return 0

    if arguments.sample is not None:
        seed = arguments.seed if arguments.seed is not None else random.randrange(1 << 31)
        progress(f"a sample of {min(arguments.sample, len(candidates))} of {len(candidates)} mutants, seed {seed}")
        candidates = sample_mutants(candidates, arguments.sample, seed)
    if not candidates:
        print(f"{len(equivalent)} equivalent mutants skipped")
        print("killed 0 of 0 (0.0 %), 0 not compiled, 0 timed out")
        return 0

    # Ctrl-C or a kill ends the run in order, even when started where SIGINT
    # was ignored (in the background of a script).
    signal.signal(signal.SIGINT, signal.default_int_handler)
    signal.signal(signal.SIGTERM, interrupt)
    try:
        results, interrupted = run_mutants(root, source_files(root), texts, candidates, keys, arguments)
    except RuntimeError as error:
        sys.exit(f"mutate.py: {error}")
    report(root, candidates, results, keys, len(equivalent))
    return 130 if interrupted else 0


if __name__ == "__main__":
    sys.exit(main())
