#!/usr/bin/env python3
"""Reports every function in the game's sources that grew too long or too branchy.

Scans src/**/*.cpp and src/**/*.h (or the roots given) with a small brace
matcher that skips comments, strings, char literals and preprocessor lines.
A function's length runs from the line of its opening brace to the line of
its closing brace, inclusive; its complexity is 1 + the number of if, for,
while, case, catch, &&, || and ? in its body (lambdas count with the function
they are written in). Prints `path:line: name: N lines, complexity C` for each
function over a limit and exits 1, or prints a one-line summary and exits 0.
"""

import argparse
import os
import sys

BRANCHES = {"if", "for", "while", "case", "catch", "&&", "||", "?"}
TYPE_KEYWORDS = {"class", "struct", "union", "enum"}
TWO_CHAR = {"::", "&&", "||", "->", "==", "!=", "<=", ">=", "+=", "-=", "*=", "/=", "%=", "&=", "|=",
            "^=", "++", "--", "<<"}


class Token:
    __slots__ = ("text", "line")

    def __init__(self, text, line):
        self.text = text
        self.line = line


def _skip_quoted(src, i, quote):
    """Index just past the literal whose opening quote is at i."""
    i += 1
    n = len(src)
    while i < n and src[i] != quote:
        if src[i] == "\\":
            i += 1
        elif src[i] == "\n":
            break
        i += 1
    return i + 1


def _skip_raw_string(src, i):
    """Index just past the raw string whose opening quote is at i."""
    open_paren = src.index("(", i)
    delimiter = ")" + src[i + 1:open_paren] + '"'
    end = src.find(delimiter, open_paren)
    return len(src) if end < 0 else end + len(delimiter)


def _skip_preprocessor(src, i):
    """Index of the newline ending the directive at i, continuations included."""
    n = len(src)
    while i < n and src[i] != "\n":
        if src[i] == "\\" and i + 1 < n and src[i + 1] == "\n":
            i += 1
        elif src.startswith("/*", i):
            end = src.find("*/", i + 2)
            i = n if end < 0 else end + 1
        elif src.startswith("//", i):
            end = src.find("\n", i)
            return n if end < 0 else end
        i += 1
    return i


def tokenize(src):
    """The tokens of a C++ source, without comments, literals' contents or directives.

    A string or char literal becomes the single token '""'.
    """
    tokens = []
    i, line, n = 0, 1, len(src)
    at_line_start = True
    while i < n:
        c = src[i]
        start = i
        if c == "\n":
            line += 1
            at_line_start = True
            i += 1
            continue
        if c in " \t\r\f\v":
            i += 1
            continue
        if c == "#" and at_line_start:
            i = _skip_preprocessor(src, i)
        elif src.startswith("//", i):
            end = src.find("\n", i)
            i = n if end < 0 else end
        elif src.startswith("/*", i):
            end = src.find("*/", i + 2)
            i = n if end < 0 else end + 2
        elif c in "\"'":
            i = _skip_quoted(src, i, c)
            tokens.append(Token('""', line))
        elif c.isalpha() or c == "_":
            while i < n and (src[i].isalnum() or src[i] == "_"):
                i += 1
            word = src[start:i]
            if i < n and src[i] == '"' and word in ("R", "LR", "uR", "UR", "u8R"):
                i = _skip_raw_string(src, i)
                tokens.append(Token('""', line))
            elif i < n and src[i] in "\"'" and word in ("L", "u", "U", "u8"):
                i = _skip_quoted(src, i, src[i])
                tokens.append(Token('""', line))
            else:
                tokens.append(Token(word, line))
        elif c.isdigit() or (c == "." and i + 1 < n and src[i + 1].isdigit()):
            while i < n and (src[i].isalnum() or src[i] in "._'"
                             or (src[i] in "+-" and src[i - 1] in "eEpP")):
                i += 1
            tokens.append(Token(src[start:i], line))
        else:
            i += 2 if src[i:i + 2] in TWO_CHAR else 1
            tokens.append(Token(src[start:i], line))
        line += src.count("\n", start, i)
        at_line_start = False
    return tokens


class Function:
    def __init__(self, path, line, name, first_line):
        self.path = path
        self.line = line
        self.name = name
        self.first_line = first_line
        self.last_line = first_line
        self.complexity = 1

    @property
    def length(self):
        return self.last_line - self.first_line + 1


def _strip_templates(head):
    """The head without its `template <...>` prefixes."""
    out = []
    i = 0
    while i < len(head):
        if head[i].text == "template" and i + 1 < len(head) and head[i + 1].text == "<":
            depth, i = 0, i + 1
            while i < len(head):
                depth += {"<": 1, ">": -1}.get(head[i].text, 0)
                i += 1
                if depth == 0:
                    break
            continue
        out.append(head[i])
        i += 1
    return out


AFTER_PARAMETERS = {"const", "override", "final", "noexcept", "volatile", "&", "&&", "throw"}


def _is_word(text):
    return text[:1].isalpha() or text[:1] == "_"


def _parameters_start(texts):
    """Index of the `(` opening the parameter list a head ends with, or None.

    After the list only qualifiers (const, noexcept, ...) or a trailing return type may follow.
    """
    depth = 0
    arrow = False
    for k in range(len(texts) - 1, -1, -1):
        t = texts[k]
        if depth == 0 and t == "->":
            arrow = True
        elif t in (")", "]"):
            depth += 1
        elif t in ("(", "["):
            depth -= 1
            if depth == 0 and t == "(" and (k == 0 or texts[k - 1] not in AFTER_PARAMETERS):
                return k
        elif depth == 0 and not arrow and t not in AFTER_PARAMETERS:
            return None
    return None


def _without_init_list(texts):
    """A constructor's head without its member initializers."""
    for k in range(1, len(texts)):
        if texts[k] == ":" and texts[k - 1] == ")":
            return texts[:k]
    return texts


def _function_name(texts):
    """The qualified name a function head declares, or None if it declares no function."""
    texts = _without_init_list(texts)
    end = _parameters_start(texts)
    if end is None:
        return None
    start = end - 1
    if "operator" in texts[max(0, end - 4):end]:
        start = end - 1 - texts[end - 1::-1].index("operator")
    elif start >= 0 and texts[start] == ")":
        return _function_name(texts[:start])  # a declarator in parentheses: (*&f())()
    elif start < 0 or not _is_word(texts[start]):
        return None
    while start >= 2 and texts[start - 1] in ("::", "~"):
        start -= 1
        if texts[start] == "~" and texts[start - 1] != "::":
            break
        if _is_word(texts[start - 1]):
            start -= 1
    return "".join(texts[start:end])


def _classify(head):
    """What a `{` ending this head opens: 'scope', 'type', 'function' or 'data'."""
    texts = [t.text for t in _strip_templates(head)]
    if not texts or "namespace" in texts[-2:] or texts[0] == "extern" and texts[-1] == '""':
        return "scope"
    if "(" not in texts and any(t in TYPE_KEYWORDS for t in texts):
        return "type"
    if _function_name(texts) is None:
        return "data"
    before = texts[:_parameters_start(_without_init_list(texts))]
    return "data" if "=" in before and "operator" not in before else "function"


class Scanner:
    """Walks the tokens of one file, collecting the functions it defines."""

    def __init__(self, path, tokens):
        self.path = path
        self.tokens = tokens
        self.functions = []

    def scan(self):
        i = 0
        while i < len(self.tokens):
            i = self._scan_scope(i)
        return self.functions

    def _scan_scope(self, i):
        """Scans declarations from i up to the `}` closing this scope; returns the index past it."""
        head = []
        in_init_list = False
        tokens = self.tokens
        while i < len(tokens):
            t = tokens[i].text
            if t == "}":
                return i + 1
            if t == ";":
                head, in_init_list = [], False
                i += 1
                continue
            if t == ":" and head and head[-1].text in ("public", "private", "protected"):
                head = []
                i += 1
                continue
            if t == ":" and head and head[-1].text == ")":
                in_init_list = True
            if t == "{":
                prev = head[-1].text if head else ""
                if in_init_list and prev not in (")", "}"):
                    i = self._skip_braces(i)
                    head.append(Token("}", tokens[i - 1].line))
                    continue
                kind = _classify(head)
                if kind == "function":
                    i = self._scan_body(i, head)
                    head, in_init_list = [], False
                    continue
                if kind in ("scope", "type"):
                    i = self._scan_scope(i + 1)
                else:
                    i = self._scan_data(i + 1, head)
                head = [] if kind == "scope" else [Token("}", tokens[i - 1].line)]
                in_init_list = False
                continue
            head.append(tokens[i])
            i += 1
        return i

    def _skip_braces(self, i):
        depth = 0
        while i < len(self.tokens):
            depth += {"{": 1, "}": -1}.get(self.tokens[i].text, 0)
            i += 1
            if depth == 0:
                break
        return i

    def _scan_data(self, i, head):
        """Scans an initializer's braces; lambdas in it are reported as functions."""
        name = _function_name([t.text for t in head]) or next((t.text for t in reversed(head)
                                             if t.text.replace("_", "a").isalnum()), "?")
        while i < len(self.tokens):
            t = self.tokens[i].text
            if t == "}":
                return i + 1
            if t == "{":
                prev = self.tokens[i - 1].text
                if prev in (")", "]", "mutable", "noexcept") or \
                        (self.tokens[i - 2].text == "->" if i >= 2 else False):
                    i = self._scan_body(i, [Token(name + "::<lambda>", self.tokens[i].line)],
                                        name=name + "::<lambda>")
                else:
                    i = self._scan_data(i + 1, head)
                continue
            i += 1
        return i

    def _scan_body(self, i, head, name=None):
        """Measures the body whose `{` is at i; returns the index past its `}`."""
        name = name or _function_name([t.text for t in _strip_templates(head)])
        last_part = "operator" if "operator" in name else name.split("::")[-1]
        line = next((t.line for t in reversed(head) if t.text == last_part), self.tokens[i].line)
        fn = Function(self.path, line, name, self.tokens[i].line)
        depth = 0
        while i < len(self.tokens):
            t = self.tokens[i]
            if t.text == "{":
                depth += 1
            elif t.text == "}":
                depth -= 1
                if depth == 0:
                    fn.last_line = t.line
                    i += 1
                    break
            elif t.text in BRANCHES:
                fn.complexity += 1
            i += 1
        self.functions.append(fn)
        return i


def source_files(roots):
    for root in roots:
        if os.path.isfile(root):
            yield root
            continue
        for folder, dirs, files in os.walk(root):
            dirs.sort()
            for name in sorted(files):
                if name.endswith((".cpp", ".h")):
                    yield os.path.join(folder, name)


def scan_file(path, shown_path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return Scanner(shown_path, tokenize(f.read())).scan()


def main(argv):
    repo = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--max-lines", type=int, default=80)
    parser.add_argument("--max-complexity", type=int, default=30)
    parser.add_argument("--list", action="store_true", help="print every function found")
    parser.add_argument("roots", nargs="*", help="folders or files (default: the game's src)")
    args = parser.parse_args(argv)
    roots = args.roots or [os.path.join(repo, "src")]

    functions = []
    for path in source_files(roots):
        shown = os.path.relpath(path, repo) if os.path.abspath(path).startswith(repo + os.sep) else path
        functions += scan_file(path, shown)

    offenders = [f for f in functions
                 if f.length > args.max_lines or f.complexity > args.max_complexity]
    for f in functions if args.list else offenders:
        print("%s:%d: %s: %d lines, complexity %d" % (f.path, f.line, f.name, f.length, f.complexity))
    if offenders:
        print("%d function(s) over %d lines or a complexity of %d"
              % (len(offenders), args.max_lines, args.max_complexity))
        return 1
    longest = max(functions, key=lambda f: f.length, default=None)
    branchiest = max(functions, key=lambda f: f.complexity, default=None)
    print("%d functions, the longest %d lines (%s), the most complex %d (%s)"
          % (len(functions), longest.length if longest else 0, longest.name if longest else "-",
             branchiest.complexity if branchiest else 0, branchiest.name if branchiest else "-"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
