#!/usr/bin/env python3
"""Mutation testing of the window-free sources against the native test programs.

Plants one fault at a time (a flipped comparison, a literal off by one, a
deleted statement, ...) in a private copy of the tree under build/mutate/,
rebuilds incrementally and runs every GoogleTest program of the native build.
A mutant is killed when a test fails, crashes or hangs, survives when every
test passes, is invalid when it does not compile and equivalent when the test
programs come out byte for byte the same. A yardstick, not a gate: the exit
status is 0 unless the tool itself fails (or --min-kill is not reached).

    scripts/mutate.py                  default sample (seed 1, 200 mutants)
    scripts/mutate.py --list           print the sample without running it
    scripts/mutate.py --only 17        run mutant 17 of the sample again
    scripts/mutate.py --files 'decode/*' --json build/mutate/result.json
"""
import argparse, bisect, fnmatch, hashlib, json, os, queue, random, re, shutil, signal
import subprocess, sys, threading, time
from collections import namedtuple

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(ROOT, 'build', 'mutate')
FOLDERS = ('tables', 'resources', 'decode', 'dialogs', 'app', 'simulator', 'runner')
# Warnings stay warnings in the mutant build (a mutant that only warns is a real
# fault), except a non-void function that ends without a return.
CONFIGURE = ['-DCMAKE_BUILD_TYPE=Debug', '-DCMAKE_CXX_FLAGS_DEBUG=-O0', '-DCMAKE_C_FLAGS_DEBUG=-O0',
             '-DCMAKE_CXX_FLAGS=-Werror=return-type', '-DREVEDIZ_SANITIZE=OFF', '-DREVEDIZ_FUZZ=OFF',
             '-DREVEDIZ_BENCH=OFF', '-DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST']

# ---------------------------------------------------------------- sources

def read(path):
    with open(path, encoding='utf-8', errors='surrogateescape') as f:
        return f.read()

def includes_windows(text):
    return re.search(r'^\s*#\s*include\s*<windows\.h>', text, re.M | re.I) is not None

def library_sources():
    """The .cpp files of revediz_logic, vavuro_core and runner_scenario, from the CMake lists."""
    found = set()
    for folder in FOLDERS:
        lists = os.path.join(ROOT, folder, 'CMakeLists.txt')
        if not os.path.exists(lists):
            continue
        text = re.sub(r'#[^\n]*', '', read(lists))
        pattern = (r'target_sources\(\s*revediz_logic\s+PRIVATE([^)]*)\)'
                   r'|add_library\(\s*(?:vavuro_core|runner_scenario)\s+STATIC([^)]*)\)')
        for m in re.finditer(pattern, text):
            for item in (m.group(1) or m.group(2)).split():
                item = item.replace('${CMAKE_SOURCE_DIR}', ROOT).replace('${CMAKE_CURRENT_SOURCE_DIR}', '')
                path = os.path.normpath(os.path.join(ROOT, folder, item))
                if path.endswith('.cpp') and os.path.exists(path):
                    found.add(os.path.relpath(path, ROOT))
    return sorted(p for p in found if not includes_windows(read(os.path.join(ROOT, p))))

def source_set(globs):
    """Window-free sources plus the product headers they include directly."""
    sources = library_sources()
    headers = set()
    for path in sources:
        for inc in re.findall(r'^\s*#\s*include\s*"([^"]+\.h)"', read(os.path.join(ROOT, path)), re.M):
            full = os.path.join(ROOT, inc)
            if inc.split('/')[0] in FOLDERS and os.path.exists(full) and not includes_windows(read(full)):
                headers.add(inc)
    files = sorted(set(sources) | headers)
    if globs:
        files = [f for f in files if any(fnmatch.fnmatch(f, g) for g in globs)]
    return files

# ---------------------------------------------------------------- tokens

Tok = namedtuple('Tok', 'kind text start end')
TOKEN_RE = re.compile(r'''
  (?P<ws>\s+) | (?P<com>//[^\n]*|/\*.*?\*/)
| (?P<str>(?:u8|[uUL])?R"(?P<delim>[^(\s"]{0,16})\(.*?\)(?P=delim)"|(?:u8|[uUL])?"(?:\\.|[^"\\\n])*")
| (?P<chr>(?:u8|[uUL])?'(?:\\.|[^'\\\n])*')
| (?P<num>\.?\d(?:[eEpP][+-]|[\w'.])*) | (?P<id>[A-Za-z_]\w*)
| (?P<op><=>|<<=|>>=|->\*|\.\.\.|->|\+\+|--|<<|>>|<=|>=|==|!=|&&|\|\||[-+*/%&|^]=|::|\S)
''', re.S | re.X)
PP_LINE = re.compile(r'(?:\\\n|[^\n])*')

WIN32_IF = re.compile(r'#\s*(?:if\s+defined\s*\(?\s*_?WIN32\b|ifdef\s+_?WIN32\b)')
WIN32_IFNOT = re.compile(r'#\s*(?:if\s+!\s*defined\s*\(?\s*_?WIN32\b|ifndef\s+_?WIN32\b)')

def tokenize(src):
    """Tokens outside comments, preprocessor lines and Windows-only branches
    (which the native build never compiles)."""
    toks, pos, line_start, frames = [], 0, True, []   # frames: [skip outside, Windows branch now]
    while pos < len(src):
        m = TOKEN_RE.match(src, pos)
        kind = m.lastgroup if m.lastgroup != 'delim' else 'str'
        if kind == 'op' and m.group() == '#' and line_start:
            end = PP_LINE.match(src, pos).end()
            line = src[pos:end]
            outer = any(f[0] or f[1] for f in frames[-1:])
            if re.match(r'#\s*if', line):
                frames.append([outer, bool(WIN32_IF.match(line)), bool(WIN32_IFNOT.match(line))])
            elif re.match(r'#\s*el', line) and frames and (frames[-1][1] or frames[-1][2]):
                frames[-1][1:] = [not frames[-1][1], False]
            elif re.match(r'#\s*endif', line) and frames:
                frames.pop()
            pos = end
            continue
        if kind == 'ws':
            line_start = line_start or '\n' in m.group()
        elif kind != 'com':
            line_start = False
            if not any(f[0] or f[1] for f in frames[-1:]):
                toks.append(Tok(kind, m.group(), m.start(), m.end()))
        pos = m.end()
    return toks

# ---------------------------------------------------------------- mutants

Mutant = namedtuple('Mutant', 'path line start end original mutated op')
NOT_CALLS = set('if for while switch return sizeof alignof alignas decltype static_assert noexcept '
                'catch throw case new delete operator typeid defined'.split())
TYPE_WORDS = set('auto bool char int unsigned signed short long float double void const constexpr static '
                 'inline extern struct class enum union typedef using namespace template typename '
                 'volatile register friend virtual explicit thread_local'.split())
EXCLUDED_CALLS = ('sizeof', 'alignof', 'alignas', 'decltype', 'static_assert', 'noexcept', 'assert')
NEGATE = {'<': '>=', '<=': '>', '>': '<=', '>=': '<', '==': '!=', '!=': '=='}
BOUNDARY = {'<': '<=', '<=': '<', '>': '>=', '>=': '>'}
CONVERSION = re.compile(r'%[-+ #0]*(?:\*|\d+)?(?:\.(?:\*|\d+))?(?:hh|h|ll|l|j|z|t|L)?([diouxXcs%])')
CONVERT_TO = {'d': 'x', 'i': 'x', 'u': 'x', 'x': 'X', 'X': 'x', 'c': 'd', 'o': 'x'}
BODY = ('func', 'body', 'loop', 'switch')

class Scanner:
    """One pass over a file's tokens, collecting every candidate mutant."""

    def __init__(self, path, src):
        self.path, self.src, self.toks = path, src, tokenize(src)
        self.newlines = [i for i, c in enumerate(src) if c == '\n']
        self.out = []
        self.match, stack = {}, []
        for i, t in enumerate(self.toks):
            if t.text in '([{' and t.kind == 'op':
                stack.append(i)
            elif t.text in ')]}' and t.kind == 'op' and stack:
                self.match[stack[-1]] = i
                self.match[i] = stack.pop()

    def add(self, start, end, mutated, op):
        if self.src[start:end] != mutated:
            line = bisect.bisect_left(self.newlines, start) + 1
            self.out.append(Mutant(self.path, line, start, end, self.src[start:end], mutated, op))

    def text(self, i):
        return self.toks[i].text if 0 <= i < len(self.toks) else ''

    def is_template(self, i):
        """The index of the '>' closing template arguments opened by the '<' at i, or
        None: the '>' must come before anything an expression would hold."""
        prev = self.text(i - 1)
        free = prev == 'template'
        if i == 0 or not free and (self.toks[i - 1].kind != 'id' or prev in NOT_CALLS):
            return None
        depth, j = 1, i + 1
        while j < len(self.toks):
            t = self.text(j)
            if t in ('(', '[') and j in self.match:
                j = self.match[j]
            elif t == '<':
                depth += 1
            elif t in ('>', '>>'):
                depth -= len(t)
                if depth <= 0:
                    self.closers.add(j)
                    return j
            elif t in (';', '{', '}', ')') or not free and t not in (',', '*', '&', '::') \
                    and self.toks[j].kind not in ('id', 'num'):
                return None
            j += 1
        return None

    def brace_kind(self, i, outer):
        prev, k = self.text(i - 1), i - 1
        while k >= 0 and self.text(k) not in (';', '{', '}'):
            if self.text(k) in ('namespace', 'extern'):
                return 'ns'
            if self.text(k) in ('struct', 'class', 'union', 'enum'):
                return 'class'
            k = self.match.get(k, k) - 1 if self.text(k) in (')', ']') else k - 1
        if prev == ')':
            head = self.text(self.match.get(i - 1, i) - 1)
            return {'switch': 'switch', 'for': 'loop', 'while': 'loop'}.get(head, 'body' if head in ('if', 'catch') else 'func')
        if prev == 'do':
            return 'loop'
        if prev in ('else', 'try'):
            return 'body'
        if prev in ('const', 'noexcept', 'override', 'final', 'mutable', ']'):
            return 'func'
        if prev in (';', '{', '}', ':') and outer in BODY:
            return 'body'
        return 'func' if prev == '}' and outer in ('ns', 'class') else 'init'

    def scan(self):
        toks, stack = self.toks, []       # stack of (index, kind) for every open bracket
        self.closers, excluded_until, stmt, labels, headers = set(), -1, True, set(), set()
        for i, t in enumerate(toks):
            kind = stack[-1][1] if stack else 'ns'
            if i > excluded_until and t.text in EXCLUDED_CALLS and self.text(i + 1) == '(':
                excluded_until = self.match.get(i + 1, i)
            if i > excluded_until and t.text == '[' and self.text(i + 1) == '[':
                excluded_until = self.match.get(i, i)
            if stmt and kind in BODY and t.text not in ('{', '}', ';'):
                self.statement(i, stack, labels, headers)
            stmt = False
            if t.text == '{' and t.kind == 'op':
                stack.append((i, self.brace_kind(i, kind)))
                stmt = stack[-1][1] in BODY
            elif t.text in ('(', '[') and t.kind == 'op':
                stack.append((i, 'paren'))
            elif t.text in (')', ']', '}') and t.kind == 'op' and stack:
                closed = stack.pop()[1]
                stmt = i in headers or (t.text == '}' and closed in BODY)
            elif t.text == ';' or i in labels or t.text in ('else', 'do'):
                stmt = (stack[-1][1] if stack else 'ns') in BODY or t.text != ';'
            if i > excluded_until and self.text(i - 1) != 'operator':
                self.expression(i, t, kind)

    def statement(self, i, stack, labels, headers):
        t = self.text(i)
        if t in ('if', 'for', 'while', 'switch') and self.text(i + 1) == '(':
            headers.add(self.match.get(i + 1, -1))
            return
        if t in ('case', 'default'):
            j = i
            while j < len(self.toks) and self.text(j) != ':':
                j = self.match.get(j, j) + 1 if self.text(j) in ('(', '[') else j + 1
            labels.add(j)
            return
        if t == 'break':
            self.switch_break(i, stack)
            return
        end, j = None, i          # the statement's ';' at this level
        while j < len(self.toks):
            if self.text(j) in ('(', '[', '{') and j in self.match:
                j = self.match[j]
            elif self.text(j) in (';', '}'):
                end = j if self.text(j) == ';' else None
                break
            j += 1
        if end is None or t in TYPE_WORDS or t in ('else', 'do', 'try', 'catch', 'throw', 'goto', 'assert'):
            return
        if t == '(' and self.text(i + 1) == 'void' and self.text(i + 2) == ')':
            return
        if t == 'return' and self.text(end + 1) == '}' and stack and stack[-1][1] == 'func':
            return                # the last return of a function: left to the compiler
        if t != 'return' and t != 'continue':
            for k in range(i, end):
                a, b = self.toks[k], self.toks[k + 1]
                if a.text in ('=', '(', '{', '[', '.', '->', '++', '--') or a.text.endswith('='):
                    break
                if b.kind == 'id' and (a.kind == 'id' or a.text in ('>', '*', '&', '&&') and k > i):
                    return        # "Type name ...": a declaration
        self.add(self.toks[i].start, self.toks[end].end, ';', 'delete statement')

    def switch_break(self, i, stack):
        k = i - 1                 # a loop header in this statement owns the break
        while k >= 0 and self.text(k) not in (';', '{', '}', ':'):
            if self.text(k) in ('for', 'while', 'do'):
                return
            k = self.match.get(k, k) - 1 if self.text(k) == ')' else k - 1
        for _, kind in reversed(stack):
            if kind in ('switch', 'loop', 'func'):
                if kind == 'switch':
                    self.add(self.toks[i].start, self.toks[i].end, '', 'remove break')
                return

    def expression(self, i, t, kind):
        prev = self.toks[i - 1] if i else None
        operand = prev is not None and (prev.kind in ('num', 'str', 'chr') or prev.text in (')', ']')
                                        or prev.kind == 'id' and prev.text not in NOT_CALLS)
        if t.text in NEGATE and t.kind == 'op' and not (t.text == '<' and self.is_template(i) is not None) \
                and not (t.text == '>' and i in self.closers) and operand:
            self.add(t.start, t.end, NEGATE[t.text], 'comparison')
            if t.text in BOUNDARY:
                self.add(t.start, t.end, BOUNDARY[t.text], 'boundary')
        elif t.kind == 'num':
            self.literal(t)
        elif t.kind == 'str':
            self.string(i, t)
        elif t.text in ('&&', '||') and operand and (t.text == '||' or kind in BODY) \
                and self.text(i + 1) not in (')', ',', '=', '...') and prev.text not in ('auto', 'const', '>'):
            self.add(t.start, t.end, '||' if t.text == '&&' else '&&', 'logical')
        elif t.text in ('+', '-', '+=', '-=') and (operand or t.text.endswith('=')):
            self.add(t.start, t.end, {'+': '-', '-': '+', '+=': '-=', '-=': '+='}[t.text], 'arithmetic')
        elif t.text == '!' and t.kind == 'op':
            self.add(t.start, t.end, '', 'remove not')
        elif t.text in ('true', 'false'):
            self.add(t.start, t.end, 'false' if t.text == 'true' else 'true', 'boolean')
        elif t.text == '(' and kind in BODY and prev is not None and prev.kind == 'id' \
                and prev.text not in NOT_CALLS and prev.text not in TYPE_WORDS:
            self.swap_arguments(i)

    def literal(self, t):
        m = re.fullmatch(r"(0[xX][\da-fA-F']+|0[bB][01']+|0[0-7']*|[1-9][\d']*)([uUlLzZ]*)", t.text)
        if not m:
            return                # floating point
        digits, suffix = m.group(1).replace("'", ''), m.group(2)
        low = digits.lower()
        base, body = ((16, low[2:]) if low.startswith('0x') else (2, low[2:]) if low.startswith('0b')
                      else (8, low) if low.startswith('0') and len(low) > 1 else (10, low))
        value = int(body, base)
        def spell(v):
            if base == 16:
                text = format(v, 'x').rjust(len(body), '0')
                return digits[:2] + (text.upper() if digits[2:] == digits[2:].upper() else text)
            return {2: lambda: digits[:2] + format(v, 'b'), 8: lambda: '0' + format(v, 'o')}.get(base, lambda: str(v))()
        self.add(t.start, t.end, spell(value + 1) + suffix, 'literal +1')
        if value > 0:
            self.add(t.start, t.end, spell(value - 1) + suffix, 'literal -1')
        elif 'u' not in suffix.lower():
            self.add(t.start, t.end, '(-1' + suffix + ')', 'literal -1')

    def string(self, i, t):
        quote = t.text.index('"')
        if t.text[:quote].endswith('R') or self.text(i - 1) in ('extern', 'asm'):
            return
        body, base = t.text[quote + 1:-1], t.start + quote + 1
        taken = set()             # escapes and conversions are not plain text
        for m in re.finditer(r'\\(?:x[\da-fA-F]+|[0-7]{1,3}|.)', body):
            taken.update(range(m.start(), m.end()))
        for m in CONVERSION.finditer(body):
            if m.start() in taken:
                continue
            taken.update(range(m.start(), m.end()))
            letter = m.group(1)
            if letter in CONVERT_TO:
                self.add(base + m.end() - 1, base + m.end(), CONVERT_TO[letter], 'format')
        free = [k for k in range(len(body)) if k not in taken]
        for test, change in ((str.isalpha, str.swapcase), (lambda c: c == ' ', lambda c: '_'),
                             (str.isdigit, lambda c: str((int(c) + 1) % 10))):
            spots = [k for k in free if test(body[k])]
            if spots:
                self.add(base + spots[0], base + spots[0] + 1, change(body[spots[0]]), 'text')
                return

    def swap_arguments(self, i):
        close = self.match.get(i)
        if close is None or close == i + 1:
            return
        args, start, j = [], i + 1, i + 1
        while j <= close:
            t = self.text(j)
            if t in ('(', '[', '{') and j in self.match and j != i:
                j = self.match[j]
            elif t == '<' and self.is_template(j) is not None:
                j = self.is_template(j)
            elif t == ',' or j == close:
                args.append((self.toks[start].start, self.toks[j - 1].end))
                start = j + 1
            j += 1
        for (a0, a1), (b0, b1) in zip(args, args[1:]):
            a, b = self.src[a0:a1], self.src[b0:b1]
            if a != b and (a[-1:] == '"') == (b[-1:] == '"') and a.startswith('sizeof') == b.startswith('sizeof'):
                self.add(a0, b1, b + self.src[a1:b0] + a, 'swap arguments')

SNAPSHOT = {}                     # path -> text of the tree as it was when the run began

def take_snapshot():
    skip = {'build', '.git', 'docs'}
    for folder, dirs, names in os.walk(ROOT):
        dirs[:] = sorted(d for d in dirs if not (folder == ROOT and (d in skip or d.startswith('.'))))
        for name in names:
            rel = os.path.relpath(os.path.join(folder, name), ROOT)
            SNAPSHOT[rel] = read(os.path.join(ROOT, rel))
    # Warnings as errors would turn a mutant that merely warns into an invalid one.
    SNAPSHOT['CMakeLists.txt'] = re.sub(r'(?<=\s)-Werror(?=[\s)])', '', SNAPSHOT['CMakeLists.txt'])

def candidates(files):
    found = []
    for path in files:
        scanner = Scanner(path, SNAPSHOT[path])
        scanner.scan()
        found.extend(sorted(set(scanner.out), key=lambda m: (m.start, m.end, m.op, m.mutated)))
    return found

def sample(found, count, seed):
    """Stratified by file: each file's share follows its candidates, one at least."""
    by_file = {}
    for m in found:
        by_file.setdefault(m.path, []).append(m)
    total = len(found)
    quota = {f: max(1, count * len(ms) // total) for f, ms in by_file.items()}
    rest = sorted(by_file, key=lambda f: (-(count * len(by_file[f]) % total), f))
    for f in rest[:max(0, count - sum(quota.values()))]:
        quota[f] += 1
    while sum(quota.values()) > count and max(quota.values()) > 1:   # the one-each floor overshot
        quota[max(quota, key=lambda f: (quota[f], f))] -= 1
    rng, chosen = random.Random(seed), []
    for f in sorted(by_file):
        chosen.extend(rng.sample(by_file[f], min(quota[f], len(by_file[f]))))
    return sorted(chosen, key=lambda m: (m.path, m.start, m.op, m.mutated))


# ---------------------------------------------------------------- workers

def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'w', encoding='utf-8', errors='surrogateescape') as f:
        f.write(text)

def digest(path):
    with open(path, 'rb') as f:
        return hashlib.sha1(f.read()).hexdigest()

class Worker:
    """A private copy of the tree with its own configured build."""

    def __init__(self, number, build_jobs):
        self.name = f'w{number}'
        self.src = os.path.join(WORK, self.name, 'src')
        self.build = os.path.join(WORK, self.name, 'build')
        self.jobs, self.dirty, self.programs, self.notes = build_jobs, None, {}, []

    def prepare(self):
        for rel, text in SNAPSHOT.items():   # only what differs, so the build stays incremental
            dst = os.path.join(self.src, rel)
            if not os.path.exists(dst) or read(dst) != text:
                write(dst, text)
        for folder, _, names in os.walk(self.src):
            for name in names:
                if os.path.relpath(os.path.join(folder, name), self.src) not in SNAPSHOT:
                    os.remove(os.path.join(folder, name))
        generator = 'Ninja' if shutil.which('ninja') else 'Unix Makefiles'
        stamp, wanted = os.path.join(self.build, 'mutate.stamp'), '\n'.join([generator] + CONFIGURE)
        if not os.path.exists(stamp) or read(stamp) != wanted:
            shutil.rmtree(self.build, ignore_errors=True)
            self.command(['cmake', '-S', self.src, '-B', self.build, '-G', generator] + CONFIGURE, 'configure')
            write(stamp, wanted)
        # Keep going past a test program that does not build (another one may be
        # mid-change); each program is then built alone, and those that fail are left out.
        keep_going = ['--', '-k', '0'] if generator == 'Ninja' else ['--', '-k']
        subprocess.run(['cmake', '--build', self.build, '-j', str(self.jobs)] + keep_going,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for path in self.test_programs(generator):
            built = subprocess.run(['cmake', '--build', self.build, '--target', os.path.basename(path)],
                                   stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
            if built.returncode:
                self.notes.append(f'{os.path.basename(path)}: left out, does not build')
                continue
            started, extra = time.time(), []
            passed, detail = self.test(path, 600, fail_fast=False)
            failing = sorted(set(re.findall(r'^\[  FAILED  \] (\w+\.\w+(?:/\w+)?)', detail, re.M)))
            if not passed and failing:   # leave out the tests that fail unmutated, keep the rest
                extra = ['--gtest_filter=-' + ':'.join(failing)]
                started = time.time()
                passed, detail = self.test(path, 600, extra)
                self.notes.append(f'{os.path.basename(path)}: left out, failing unmutated: {" ".join(failing)}')
            if passed:
                self.programs[path] = (digest(path), max(20.0, 10 * (time.time() - started)), extra)
            else:
                self.notes.append(f'{os.path.basename(path)}: left out, fails unmutated')
        if not self.programs:
            raise RuntimeError('no native test program builds and passes')
        self.objects = {p: digest(p) for p in self.object_files()}

    def test_programs(self, generator):
        """The executables the build makes under tests/."""
        if generator == 'Ninja':
            listed = subprocess.run(['ninja', '-C', self.build, '-t', 'targets', 'all'],
                                    stdout=subprocess.PIPE, text=True).stdout
            return sorted(os.path.join(self.build, m) for m in
                          re.findall(r'^(tests/\S+): CXX_EXECUTABLE_LINKER', listed, re.M))
        found = []
        for folder, dirs, names in os.walk(os.path.join(self.build, 'tests')):
            dirs[:] = [d for d in dirs if d != 'CMakeFiles']
            for name in names:
                path = os.path.join(folder, name)
                with open(path, 'rb') as f:
                    if os.access(path, os.X_OK) and f.read(4) == b'\x7fELF':
                        found.append(path)
        return sorted(found)

    def object_files(self, since=0.0):
        return [os.path.join(d, n) for d, _, names in os.walk(self.build) for n in names
                if n.endswith('.o') and os.path.getmtime(os.path.join(d, n)) >= since]

    def command(self, argv, what):
        done = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        if done.returncode:
            raise RuntimeError(f'{self.name}: {what} failed:\n{done.stdout[-4000:]}')

    def test(self, program, timeout, extra=(), fail_fast=True):
        env = dict(os.environ, REVEDIZ_DATA_DIR=os.path.join(self.src, 'data'))
        argv = [program, '--gtest_brief=1'] + ['--gtest_fail_fast'] * fail_fast + list(extra)
        proc = subprocess.Popen(argv, cwd=os.path.dirname(program),
                                env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, start_new_session=True)
        try:
            out = proc.communicate(timeout=timeout)[0].decode(errors='replace')
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.communicate()
            return False, f'timed out after {timeout:.0f} s'
        if proc.returncode < 0:
            return False, f'crashed with signal {-proc.returncode}\n' + out[-2000:]
        return proc.returncode == 0, out if not fail_fast else out[-2000:]

    def restore(self):
        if self.dirty:
            write(os.path.join(self.src, self.dirty), SNAPSHOT[self.dirty])
            self.dirty = None

    def run(self, m):
        """Applies one mutant, rebuilds the test programs and runs those that changed."""
        if self.dirty != m.path:
            self.restore()
        text = SNAPSHOT[m.path]
        write(os.path.join(self.src, m.path), text[:m.start] + m.mutated + text[m.end:])
        self.dirty = m.path
        targets, since = sorted({os.path.basename(p) for p in self.programs}), time.time()
        built = subprocess.run(['cmake', '--build', self.build, '-j', str(self.jobs), '--target'] + targets,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if built.returncode:
            return 'invalid', ''
        if all(self.objects.get(p) == digest(p) for p in self.object_files(since)):
            return 'equivalent', 'the same object code'
        changed = [p for p, (hashed, *_) in self.programs.items() if digest(p) != hashed]
        if not changed:
            return 'survived', 'no test program holds this code'
        for program in changed:
            passed, detail = self.test(program, *self.programs[program][1:])
            if not passed:
                return 'killed', f'{os.path.basename(program)}: {detail}'
        return 'survived', ''

# ---------------------------------------------------------------- report

STATES = ('killed', 'survived', 'invalid', 'equivalent')

def tally(results):
    counts = {s: sum(1 for r in results if r['status'] == s) for s in STATES}
    judged = counts['killed'] + counts['survived']
    counts['kill_pct'] = round(100.0 * counts['killed'] / judged, 1) if judged else None
    return counts

def short(text, limit=90):
    text = ' '.join(text.split())
    return text if len(text) <= limit else text[:limit - 3] + '...'

def report(results, header, out):
    groups = [('file', lambda r: r['path'])]
    groups.append(('folder', lambda r: r['path'].split('/')[0]))
    summary = {}
    print(header, file=out)
    for title, key in groups:
        names = sorted({key(r) for r in results})
        summary[title] = {n: tally([r for r in results if key(r) == n]) for n in names}
        print(f'\n{title:<32} killed survived invalid equiv  kill%', file=out)
        for n, c in summary[title].items():
            pct = '-' if c['kill_pct'] is None else f"{c['kill_pct']:.1f}"
            print(f"{n:<32} {c['killed']:>6} {c['survived']:>8} {c['invalid']:>7} {c['equivalent']:>5} {pct:>6}",
                  file=out)
    summary['overall'] = c = tally(results)
    pct = '-' if c['kill_pct'] is None else f"{c['kill_pct']:.1f}"
    print(f"{'overall':<32} {c['killed']:>6} {c['survived']:>8} {c['invalid']:>7} {c['equivalent']:>5} {pct:>6}",
          file=out)
    survivors = [r for r in results if r['status'] == 'survived']
    print(f'\nSurvivors ({len(survivors)}):', file=out)
    for r in survivors:
        print(f"#{r['number']} {describe(r)}\n    {short(r['source'], 110)}", file=out)
    return summary

def describe(r):
    return f"{r['path']}:{r['line']}: {r['op']}: {short(r['original'])} -> {short(r['mutated'])}"

# ---------------------------------------------------------------- main

def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--seed', type=int, default=1)
    parser.add_argument('--count', type=int, default=200)
    parser.add_argument('--jobs', type=int, default=2)
    parser.add_argument('--files', nargs='+', metavar='GLOB', help="restrict to these paths, e.g. 'decode/*'")
    parser.add_argument('--json', metavar='FILE')
    parser.add_argument('--min-kill', type=float, metavar='PCT')
    parser.add_argument('--list', action='store_true', help='print the sampled mutants and stop')
    parser.add_argument('--only', type=int, metavar='N', help='run mutant N of the sample')
    args = parser.parse_args()

    take_snapshot()
    found = candidates(source_set(args.files))
    chosen = sample(found, args.count, args.seed)
    if not chosen:
        raise RuntimeError('no candidate mutants in the chosen files')
    numbered = list(enumerate(chosen, 1))
    if args.list:
        for n, m in numbered:
            print(f'{n:4} {describe(dict(m._asdict()))}')
        return 0
    if args.only is not None:
        if not 1 <= args.only <= len(chosen):
            raise RuntimeError(f'--only takes 1 to {len(chosen)}')
        numbered = [numbered[args.only - 1]]

    workers = [Worker(k, max(1, args.jobs // min(args.jobs, len(numbered))))
               for k in range(max(1, min(args.jobs, len(numbered))))]
    started = time.time()
    failures = []
    def prepare(w):
        try:
            w.prepare()
        except Exception as error:  # reported below, after every worker is done
            failures.append(error)
    threads = [threading.Thread(target=prepare, args=(w,)) for w in workers]
    for t in threads: t.start()
    for t in threads: t.join()
    if failures:
        raise failures[0]
    ready = time.time()

    chunks, by_file = queue.Queue(), {}
    for n, m in numbered:         # one file at a time per worker: one recompile per mutant
        by_file.setdefault(m.path, []).append((n, m))
    pieces = [ms[k:k + 8] for ms in by_file.values() for k in range(0, len(ms), 8)]
    for piece in sorted(pieces, key=len, reverse=True):
        chunks.put(piece)
    results, lock = [], threading.Lock()
    def work(w):
        try:
            while True:
                try:
                    piece = chunks.get_nowait()
                except queue.Empty:
                    return
                for n, m in piece:
                    t0 = time.time()
                    status, detail = w.run(m)
                    lines = SNAPSHOT[m.path].split('\n')
                    r = dict(m._asdict(), number=n, status=status, seconds=round(time.time() - t0, 1),
                             source=lines[m.line - 1].strip(), detail=detail)
                    with lock:
                        results.append(r)
                        print(f"[{len(results):3}/{len(numbered)} {time.time() - started:6.0f}s] {status:<10} "
                              f"{describe(r)} ({r['seconds']} s)", file=sys.stderr, flush=True)
        except Exception as error:
            failures.append(error)
        finally:
            w.restore()
    threads = [threading.Thread(target=work, args=(w,)) for w in workers]
    for t in threads: t.start()
    for t in threads: t.join()
    if failures:
        raise failures[0]
    results.sort(key=lambda r: r['number'])
    elapsed, testing = time.time() - started, time.time() - ready

    for note in sorted(set(n for w in workers for n in w.notes)):
        print(f'warning: {note}', file=sys.stderr)
    if args.only is not None:
        r = results[0]
        print(f"#{r['number']} {describe(r)}\n    {r['source']}\n{r['status']}\n{r['detail']}".rstrip())
        return 0
    header = (f'Mutation testing: {len(results)} mutants of {len(found)} candidates (seed {args.seed}), '
              f'{len(workers)} workers, {elapsed / 60:.1f} min ({testing / len(results):.1f} s per mutant, '
              f'set-up {ready - started:.0f} s)')
    notes = sorted(set(n for w in workers for n in w.notes))
    header += ''.join(f'\nwarning: {n}' for n in notes)
    summary = report(results, header, sys.stdout)
    if args.json:
        with open(args.json, 'w') as f:
            json.dump({'seed': args.seed, 'count': args.count, 'candidates': len(found), 'warnings': notes,
                       'seconds': round(elapsed, 1), 'seconds_per_mutant': round(testing / len(results), 2),
                       **summary, 'mutants': [{k: v for k, v in r.items() if k not in ('start', 'end')}
                                              for r in results]}, f, indent=1)
    pct = summary['overall']['kill_pct']
    return 1 if args.min_kill is not None and (pct or 0.0) < args.min_kill else 0

if __name__ == '__main__':
    try:
        sys.exit(main())
    except (RuntimeError, OSError) as error:
        print(f'mutate.py: {error}', file=sys.stderr)
        sys.exit(2)
