#!/usr/bin/env python3
"""Mutation testing of the window-free sources against the native test programs.

Plants one fault at a time (a flipped comparison, a literal off by one, a deleted
statement, ...) in a private copy of the tree under build/mutate/, rebuilds it
incrementally and runs the native GoogleTest programs. A mutant is killed when a
test fails, crashes or hangs, survives when all pass, is invalid when it does not
compile and equivalent when its object code is unchanged, at the build's -O0 or, checked
for a mutant the tests let through (in --wine mode before the suite), at -O2. Kill rate = killed /
(killed + survived). The exit status is 0 unless the tool fails (or --min-kill).
With --wine the same is done to the sources that include windows.h, themselves or
through a header (the dialogs' and the main window's Win32 glue, the binding, the
simulator's Win32 layer, the runner and its driver, vavuro-ctl) and the resource
script: the Windows build of the copy is rebuilt and its Wine suite (end-to-end
scenarios, binding and simulator tests) runs under Wine on Xvfb, stopping at the
first failure.
Usage: scripts/mutate.py [--wine] [--list | --only N] [--files 'decode/*'] [--json FILE]
"""
import argparse, bisect, fcntl, fnmatch, hashlib, json, os, queue, random, re, shlex, shutil, signal
import subprocess, sys, tempfile, threading, time
from collections import namedtuple
from concurrent.futures import ThreadPoolExecutor

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(ROOT, 'build', 'mutate')
FOLDERS = ('tables', 'resources', 'decode', 'dialogs', 'app', 'simulator', 'scenario', 'runner', 'explore')
# In the mutant build a warning stays a warning (see take_snapshot), except a
# non-void function ending without a return.
CONFIGURE = ['-DCMAKE_BUILD_TYPE=Debug', '-DCMAKE_CXX_FLAGS_DEBUG=-O0', '-DCMAKE_C_FLAGS_DEBUG=-O0',
             '-DCMAKE_CXX_FLAGS=-Werror=return-type', '-DREVEDIZ_SANITIZE=OFF', '-DREVEDIZ_FUZZ=OFF',
             '-DREVEDIZ_BENCH=OFF', '-DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST',
             '-DCMAKE_EXPORT_COMPILE_COMMANDS=ON']
SNAPSHOT = {}                      # path -> text of the tree as the run found it
FAILED = re.compile(r'^\[  FAILED  \] (\w+\.\w+(?:/\w+)?)', re.M)   # a failing GoogleTest, as it reports it

def read(path):
    with open(path, encoding='utf-8', errors='surrogateescape') as f:
        return f.read()

def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'w', encoding='utf-8', errors='surrogateescape') as f:
        f.write(text)

def digest(path):
    with open(path, 'rb') as f:
        return hashlib.sha1(f.read()).hexdigest()

def take_snapshot():
    for folder, dirs, names in os.walk(ROOT):
        dirs[:] = sorted(d for d in dirs if folder != ROOT or d not in ('build', 'docs') and d[0] != '.')
        for name in names:
            rel = os.path.relpath(os.path.join(folder, name), ROOT)
            SNAPSHOT[rel] = read(os.path.join(ROOT, rel))
    # Warnings as errors would make a mutant that merely warns invalid.
    SNAPSHOT['CMakeLists.txt'] = re.sub(r'(?<=\s)-Werror(?=[\s)])', '', SNAPSHOT['CMakeLists.txt'])

WINE_FOLDERS = ('app', 'api', 'dialogs', 'simulator', 'runner', 'toolwindows', 'res')
WINDOWS_H = re.compile(r'^\s*#\s*include\s*<windows\.h>', re.M | re.I)

def included(path):
    """The product headers `path` includes, and those they include."""
    found, todo = set(), [path]
    while todo:
        for inc in re.findall(r'^\s*#\s*include\s*"([^"]+\.h)"', SNAPSHOT[todo.pop()], re.M):
            if inc in SNAPSHOT and inc not in found:
                found.add(inc)
                todo.append(inc)
    return found

def wine_source_set(globs):
    """The resource script, and the product sources the native mode leaves: every source file of the Windows
    programs and the headers that bring windows.h (directly or through another header)."""
    native = set(source_set(None))
    windows = lambda p: WINDOWS_H.search(SNAPSHOT[p]) or any(WINDOWS_H.search(SNAPSHOT[h]) for h in included(p))
    files = [p for p in SNAPSHOT if p.split('/')[0] in WINE_FOLDERS and '/example' not in p and p != 'runner/window_tool.cpp' and
             p not in native and (p.endswith(('.rc', '.cpp')) or p.endswith('.h') and windows(p))]
    return sorted(f for f in files if not globs or any(fnmatch.fnmatch(f, g) for g in globs))

def source_set(globs):
    """The sources of revediz_logic, vavuro_core, vavuro_line, vavuro_control, revediz_scenario, revediz_run_args and
    explore (from the CMake lists) that do not include windows.h, and the product headers they include (directly or
    through another header)."""
    listed = r'target_sources\(\s*(?:revediz_logic|explore)\s+PRIVATE([^)]*)\)|add_library\(\s*(?:vavuro_core|vavuro_line|vavuro_control|revediz_scenario|revediz_run_args)\s+STATIC([^)]*)\)'
    sources = set()
    for folder in FOLDERS:
        lists = re.sub(r'#[^\n]*', '', SNAPSHOT.get(f'{folder}/CMakeLists.txt', ''))
        for m in re.finditer(listed, lists):
            for item in (m.group(1) or m.group(2)).split():
                path = os.path.normpath(os.path.join(folder, item.replace('${CMAKE_SOURCE_DIR}/', '../')))
                if path.endswith('.cpp') and path in SNAPSHOT and not WINDOWS_H.search(SNAPSHOT[path]):
                    sources.add(path)
    files = set(sources)
    for path in sources:
        files |= {h for h in included(path) if h.split('/')[0] in FOLDERS and not WINDOWS_H.search(SNAPSHOT[h])}
    return sorted(f for f in files if not globs or any(fnmatch.fnmatch(f, g) for g in globs))

# ---------------------------------------------------------------- tokens and mutants

Tok = namedtuple('Tok', 'kind text start end')
TOKEN_RE = re.compile(r'''
  (?P<ws>\s+) | (?P<com>//[^\n]*|/\*.*?\*/)
| (?P<str>(?:u8|[uUL])?R"(?P<delim>[^(\s"]{0,16})\(.*?\)(?P=delim)"|(?:u8|[uUL])?"(?:\\.|[^"\\\n])*")
| (?P<chr>(?:u8|[uUL])?'(?:\\.|[^'\\\n])*')
| (?P<num>\.?\d(?:[eEpP][+-]|[\w'.])*) | (?P<id>[A-Za-z_]\w*)
| (?P<op><=>|<<=|>>=|->\*|\.\.\.|->|\+\+|--|<<|>>|<=|>=|==|!=|&&|\|\||[-+*/%&|^]=|::|\S)
''', re.S | re.X)
WIN32_IF = re.compile(r'#\s*(?:if\s+(!\s*)?defined\s*\(?\s*_?WIN32\b|ifdef\s+_?WIN32\b|(ifndef)\s+_?WIN32\b)')

def tokenize(src):
    """Tokens outside comments, preprocessor lines and Windows-only branches."""
    toks, pos, line_start, frames = [], 0, True, []   # frame: [outer skipped, Windows now, not-Windows]
    while pos < len(src):
        m = TOKEN_RE.match(src, pos)
        kind, skipped = m.lastgroup if m.lastgroup != 'delim' else 'str', any(frames[-1][:2]) if frames else False
        if kind == 'op' and m.group() == '#' and line_start:
            line = re.compile(r'(?:\\\n|[^\n])*').match(src, pos).group()
            if re.match(r'#\s*if', line):
                win = WIN32_IF.match(line)
                frames.append([skipped, bool(win and not any(win.groups())), bool(win and any(win.groups()))])
            elif re.match(r'#\s*el', line) and frames and any(frames[-1][1:]):
                frames[-1][1:] = [not frames[-1][1], False]
            elif re.match(r'#\s*endif', line) and frames:
                frames.pop()
            pos += len(line)
            continue
        line_start = (line_start or '\n' in m.group()) if kind == 'ws' else line_start and kind == 'com'
        if kind not in ('ws', 'com') and not skipped:
            toks.append(Tok(kind, m.group(), m.start(), m.end()))
        pos = m.end()
    return toks

Mutant = namedtuple('Mutant', 'path line start end original mutated op')
NOT_CALLS = set('if for while switch return sizeof alignof alignas decltype static_assert noexcept '
                'catch throw case new delete operator typeid defined'.split())
TYPE_WORDS = set('auto bool char int unsigned signed short long float double void const constexpr static '
                 'inline extern struct class enum union typedef using namespace template typename '
                 'volatile register friend virtual explicit thread_local'.split())
EXCLUDED_CALLS = ('sizeof', 'alignof', 'alignas', 'decltype', 'static_assert', 'noexcept', 'assert')
NEGATE = {'<': '>=', '<=': '>', '>': '<=', '>=': '<', '==': '!=', '!=': '=='}
BOUNDARY = {'<': '<=', '<=': '<', '>': '>=', '>=': '>'}
FLIP = {'&&': '||', '||': '&&', '+': '-', '-': '+', '+=': '-=', '-=': '+=', 'true': 'false', 'false': 'true'}
CONVERSION = re.compile(r'%[-+ #0]*(?:\*|\d+)?(?:\.(?:\*|\d+))?(?:hh|h|ll|l|j|z|t|L)?([diouxXcs%])')
CONVERT_TO = {'d': 'x', 'i': 'x', 'u': 'x', 'o': 'x', 'x': 'X', 'X': 'x', 'c': 'd'}
BODY = ('func', 'body', 'loop', 'switch')

class Scanner:
    """One pass over a file's tokens, collecting every candidate mutant. Knows
    just enough C++ to tell statements in function bodies, template brackets and
    calls from the rest; what it gets wrong the compiler rejects (invalid)."""

    def __init__(self, path, src):
        self.path, self.src, self.toks, self.out, self.match = path, src, tokenize(src), [], {}
        self.newlines, stack = [i for i, c in enumerate(src) if c == '\n'], []
        for i, t in enumerate(self.toks):
            if t.kind == 'op' and t.text in ('(', '[', '{'):
                stack.append(i)
            elif t.kind == 'op' and t.text in (')', ']', '}') and stack:
                j = stack.pop()
                self.match[j], self.match[i] = i, j

    def add(self, start, end, mutated, op):
        if self.src[start:end] != mutated:
            line = bisect.bisect_left(self.newlines, start) + 1
            self.out.append(Mutant(self.path, line, start, end, self.src[start:end], mutated, op))

    def text(self, i):
        return self.toks[i].text if 0 <= i < len(self.toks) else ''

    def skip_back(self, k):        # the token before k, over a bracketed group ending at k
        return self.match.get(k, k) - 1 if self.text(k) in (')', ']') else k - 1

    def is_template(self, i):
        """The index of the '>' closing template arguments opened by the '<' at i, or None:
        that '>' must come before anything an expression would hold."""
        prev, j, depth = self.text(i - 1), i + 1, 1
        free = prev == 'template'
        if i == 0 or not free and (self.toks[i - 1].kind != 'id' or prev in NOT_CALLS):
            return None
        while j < len(self.toks):
            t = self.text(j)
            if t in ('(', '[') and j in self.match:
                j = self.match[j]
            elif t in ('<', '>', '>>'):
                depth += 1 if t == '<' else -len(t)
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
            if self.text(k) in ('namespace', 'extern', 'struct', 'class', 'union', 'enum'):
                return 'ns' if self.text(k) in ('namespace', 'extern') else 'class'
            k = self.skip_back(k)
        if prev == ')':
            head = self.text(self.match.get(i - 1, i) - 1)
            return {'switch': 'switch', 'for': 'loop', 'while': 'loop', 'if': 'body', 'catch': 'body'}.get(head, 'func')
        if prev in ('do', 'else', 'try'):
            return 'loop' if prev == 'do' else 'body'
        if prev in ('const', 'noexcept', 'override', 'final', 'mutable', ']'):
            return 'func'
        if prev in (';', '{', '}', ':') and outer in BODY:
            return 'body'
        return 'func' if prev == '}' and outer in ('ns', 'class') else 'init'

    def scan(self):
        stack, self.closers = [], set()    # stack: (index, kind) of every open bracket
        excluded_until, stmt, labels, headers = -1, True, set(), set()
        for i, t in enumerate(self.toks):
            kind = stack[-1][1] if stack else 'ns'
            if i > excluded_until and (t.text in EXCLUDED_CALLS and self.text(i + 1) == '('
                                       or t.text == '[' and self.text(i + 1) == '['):
                excluded_until = self.match.get(i + (t.text != '['), i)
            if stmt and kind in BODY and t.text not in ('{', '}', ';'):
                self.statement(i, stack, labels, headers)
            stmt = False
            if t.kind == 'op' and t.text == '{':
                stack.append((i, self.brace_kind(i, kind)))
                stmt = stack[-1][1] in BODY
            elif t.kind == 'op' and t.text in ('(', '['):
                stack.append((i, 'paren'))
            elif t.kind == 'op' and t.text in (')', ']', '}') and stack:
                closed = stack.pop()[1]
                stmt = i in headers or t.text == '}' and closed in BODY
            elif t.text == ';' or i in labels or t.text in ('else', 'do'):
                stmt = t.text != ';' or (stack[-1][1] if stack else 'ns') in BODY
            if i > excluded_until and self.text(i - 1) != 'operator':
                self.expression(i, t, kind)

    def statement(self, i, stack, labels, headers):
        t, j, end = self.text(i), i, None
        if t in ('if', 'for', 'while', 'switch') and self.text(i + 1) == '(':
            return headers.add(self.match.get(i + 1, -1))
        if t in ('case', 'default'):
            while j < len(self.toks) and self.text(j) != ':':
                j = self.match.get(j, j) + 1 if self.text(j) in ('(', '[') else j + 1
            return labels.add(j)
        if t == 'break':
            return self.switch_break(i, stack)
        while j < len(self.toks):      # the statement's ';' at this level
            if self.text(j) in ('(', '[', '{') and j in self.match:
                j = self.match[j]
            elif self.text(j) in (';', '}'):
                end = j if self.text(j) == ';' else None
                break
            j += 1
        if end is None or t in TYPE_WORDS or t in ('else', 'do', 'try', 'catch', 'throw', 'goto', 'assert') \
                or [self.text(i + 1), self.text(i + 2)] == ['void', ')']:
            return
        if t == 'return' and self.text(end + 1) == '}' and stack[-1][1] == 'func':
            return                     # a function's last return: leaving it out rarely compiles
        for k in range(i, end if t not in ('return', 'continue') else i):
            a, b = self.toks[k], self.toks[k + 1]
            if a.text in ('=', '(', '{', '[', '.', '->', '++', '--') or a.text.endswith('='):
                break
            if b.kind == 'id' and (a.kind == 'id' or a.text in ('>', '*', '&', '&&') and k > i):
                return                 # "Type name ...": a declaration
        self.add(self.toks[i].start, self.toks[end].end, ';', 'delete statement')

    def switch_break(self, i, stack):
        k = i - 1                      # a loop header in this statement owns the break
        while k >= 0 and self.text(k) not in (';', '{', '}', ':'):
            if self.text(k) in ('for', 'while', 'do'):
                return
            k = self.skip_back(k)
        kind = next((kind for _, kind in reversed(stack) if kind in ('switch', 'loop', 'func')), None)
        if kind == 'switch':
            self.add(self.toks[i].start, self.toks[i].end, '', 'remove break')

    def expression(self, i, t, kind):
        prev = self.toks[i - 1] if i else Tok('op', '', 0, 0)
        operand = prev.kind in ('num', 'str', 'chr') or prev.text in (')', ']') \
            or prev.kind == 'id' and prev.text not in NOT_CALLS
        if t.kind == 'op' and t.text in NEGATE and operand and i not in self.closers \
                and not (t.text == '<' and self.is_template(i) is not None):
            self.add(t.start, t.end, NEGATE[t.text], 'comparison')
            if t.text in BOUNDARY:
                self.add(t.start, t.end, BOUNDARY[t.text], 'boundary')
        elif t.kind == 'num':
            self.literal(t)
        elif t.kind == 'str' and '"' in t.text and not t.text.split('"')[0].endswith('R') \
                and prev.text not in ('extern', 'asm'):
            self.string(t)
        elif t.text in ('&&', '||') and operand and (t.text == '||' or kind in BODY) \
                and self.text(i + 1) not in (')', ',', '=', '...') and prev.text not in ('auto', 'const', '>'):
            self.add(t.start, t.end, FLIP[t.text], 'logical')
        elif t.text in ('+', '-', '+=', '-=') and (operand or '=' in t.text):
            self.add(t.start, t.end, FLIP[t.text], 'arithmetic')
        elif t.kind == 'op' and t.text == '!':
            self.add(t.start, t.end, '', 'remove not')
        elif t.text in ('true', 'false'):
            self.add(t.start, t.end, FLIP[t.text], 'boolean')
        elif t.text == '(' and kind in BODY and prev.kind == 'id' and prev.text not in NOT_CALLS | TYPE_WORDS:
            self.swap_arguments(i)

    def literal(self, t):
        m = re.fullmatch(r"(0[xX][\da-fA-F']+|0[bB][01']+|0[0-7']*|[1-9][\d']*)([uUlLzZ]*)", t.text)
        if not m:
            return                     # floating point
        digits, suffix = m.group(1).replace("'", ''), m.group(2)
        prefix = digits[:2] if digits[1:2] in ('x', 'X', 'b', 'B') else '0' if digits[0] == '0' and len(digits) > 1 else ''
        base = {'0x': 16, '0X': 16, '0b': 2, '0B': 2, '0': 8, '': 10}[prefix]
        value, body = int(digits[len(prefix):] or '0', base), digits[len(prefix):]
        def spell(v):
            text = format(v, {16: 'x', 2: 'b', 8: 'o', 10: 'd'}[base]).rjust(len(body) if base == 16 else 0, '0')
            return prefix + (text.upper() if body == body.upper() else text) + suffix
        self.add(t.start, t.end, spell(value + 1), 'literal +1')
        if value > 0 or 'u' not in suffix.lower():
            self.add(t.start, t.end, spell(value - 1) if value else f'(-1{suffix})', 'literal -1')

    def string(self, t):
        """A conversion changed (%d -> %x, %x -> %X, ...), and the first letter, else
        blank, else digit of the text."""
        quote = t.text.index('"')
        body, base, taken = t.text[quote + 1:-1], t.start + quote + 1, set()
        for m in re.finditer(r'\\(?:x[\da-fA-F]+|[0-7]{1,3}|.)', body):
            taken.update(range(m.start(), m.end()))
        for m in CONVERSION.finditer(body):
            if m.start() not in taken:
                taken.update(range(m.start(), m.end()))
                if m.group(1) in CONVERT_TO:
                    self.add(base + m.end() - 1, base + m.end(), CONVERT_TO[m.group(1)], 'format')
        free = [k for k in range(len(body)) if k not in taken]
        for test, change in ((str.isalpha, str.swapcase), (str.isspace, lambda c: '_'),
                             (str.isdigit, lambda c: str((int(c) + 1) % 10))):
            k = next((k for k in free if test(body[k])), None)
            if k is not None:
                return self.add(base + k, base + k + 1, change(body[k]), 'text')

    def swap_arguments(self, i):
        """Each two neighbouring arguments of a call swapped, where the types may match."""
        close, args, start, j = self.match.get(i, i + 1), [], i + 1, i + 1
        while j <= close and close > i + 1:
            t = self.text(j)
            if t in ('(', '[', '{') and j in self.match:
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

def candidates(files):
    found = []
    for path in files:
        scanner = Scanner(path, SNAPSHOT[path])
        scanner.scan()
        found.extend(sorted(set(scanner.out), key=lambda m: (m.start, m.end, m.op, m.mutated)))
    return found

def sample(found, count, seed):
    """A seeded sample, stratified by file: each file's share follows its candidates, one at least."""
    by_file, total = {}, len(found)
    for m in found:
        by_file.setdefault(m.path, []).append(m)
    quota = {f: max(1, count * len(ms) // total) for f, ms in by_file.items()}
    for f in sorted(by_file, key=lambda f: (-(count * len(by_file[f]) % total), f))[:max(0, count - sum(quota.values()))]:
        quota[f] += 1                  # largest remainders first
    while sum(quota.values()) > count and max(quota.values()) > 1:
        quota[max(quota, key=lambda f: (quota[f], f))] -= 1
    rng, chosen = random.Random(seed), []
    for f in sorted(by_file):
        chosen.extend(rng.sample(by_file[f], min(quota[f], len(by_file[f]))))
    return sorted(chosen, key=lambda m: (m.path, m.start, m.op, m.mutated))

# ---------------------------------------------------------------- builds and runs

class Worker:
    """A private copy of the tree with its own build, configured once and reused."""

    def __init__(self, number, jobs, lock):
        self.src, self.build = (os.path.join(WORK, f'w{number}', d) for d in ('src', 'build'))
        self.jobs, self.lock, self.dirty, self.programs, self.notes = str(jobs), lock, None, {}, []
        self.every_test = False            # run every test of a changed program, naming all that fail
        self.configure, self.optimised = CONFIGURE, {}   # object -> digest of the unmutated source, optimised
        self.commands = None

    def prepare_sources(self):
        for rel, text in SNAPSHOT.items():     # rewrite only what differs: the build stays incremental
            dst = os.path.join(self.src, rel)
            if not os.path.exists(dst) or read(dst) != text:
                write(dst, text)
                shutil.copymode(os.path.join(ROOT, rel), dst)   # scripts stay executable
        for folder, _, names in os.walk(self.src):
            for name in names:
                if os.path.relpath(os.path.join(folder, name), self.src) not in SNAPSHOT:
                    os.remove(os.path.join(folder, name))
        generator = 'Ninja' if shutil.which('ninja') else 'Unix Makefiles'
        stamp, wanted = os.path.join(self.build, 'mutate.stamp'), '\n'.join([generator] + self.configure)
        if not os.path.exists(stamp) or read(stamp) != wanted:
            shutil.rmtree(self.build, ignore_errors=True)
            done = subprocess.run(['cmake', '-S', self.src, '-B', self.build, '-G', generator] + self.configure,
                                  stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
            if done.returncode:
                raise RuntimeError('configure failed:\n' + done.stdout[-3000:])
            write(stamp, wanted)
        return generator

    def prepare(self):
        generator = self.prepare_sources()
        # Keep going past a test program that does not build (it may be mid-change);
        # each program is then built alone, and one that fails is left out.
        subprocess.run(['cmake', '--build', self.build, '-j', self.jobs, '--', '-k'] + ['0'] * (generator == 'Ninja'),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for folder, dirs, names in os.walk(os.path.join(self.build, 'tests')):
            dirs[:] = sorted(d for d in dirs if d != 'CMakeFiles')
            for path in sorted(os.path.join(folder, n) for n in names):
                with open(path, 'rb') as f:
                    if os.access(path, os.X_OK) and f.read(4) == b'\x7fELF':
                        self.baseline(path)
        if not self.programs:
            raise RuntimeError('no native test program builds and passes')
        self.objects = {p: digest(p) for p in self.object_files()}

    def baseline(self, path):
        name = os.path.basename(path)
        if subprocess.run(['cmake', '--build', self.build, '--target', name],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode:
            return self.notes.append(f'{name}: left out, does not build')
        started, extra = time.time(), []
        passed, detail = self.test(path, 600, [], fail_fast=False)
        failing = sorted(set(FAILED.findall(detail)))
        if not passed and failing:     # leave out the tests that fail unmutated, keep the rest
            started, extra = time.time(), ['--gtest_filter=-' + ':'.join(failing)]
            passed, detail = self.test(path, 600, extra)
            self.notes.append(f'{name}: left out, failing unmutated: {" ".join(failing)}')
        if passed:
            self.programs[path] = (digest(path), max(20.0, 10 * (time.time() - started)), extra)
        else:
            self.notes.append(f'{name}: left out, fails unmutated')

    def object_files(self, since=0.0):
        # The resource script's object is a .res: without it a mutant of the script, rebuilt after another file was
        # restored, would find only that file's unchanged objects and count as equivalent untested.
        return [os.path.join(d, n) for d, _, names in os.walk(self.build) for n in names
                if n.endswith(('.o', '.obj', '.res')) and os.path.getmtime(os.path.join(d, n)) >= since]

    def test(self, program, timeout, extra, fail_fast=True):
        argv = [program, '--gtest_brief=1'] + ['--gtest_fail_fast'] * fail_fast + extra
        proc = subprocess.Popen(argv, cwd=os.path.dirname(program), stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                env=dict(os.environ, REVEDIZ_DATA_DIR=os.path.join(self.src, 'data')),
                                start_new_session=True)
        try:
            out = proc.communicate(timeout=timeout)[0].decode(errors='replace')
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.communicate()
            return False, f'timed out after {timeout:.0f} s'
        return proc.returncode == 0, (f'crashed, signal {-proc.returncode}\n' if proc.returncode < 0 else '') + out

    def restore(self):
        if self.dirty:
            write(os.path.join(self.src, self.dirty), SNAPSHOT[self.dirty])
            self.dirty = None

    def run(self, m):
        """Applies one mutant, rebuilds the test programs and runs those that changed."""
        if self.dirty != m.path:
            self.restore()
        text, self.dirty, since = SNAPSHOT[m.path], m.path, time.time()
        write(os.path.join(self.src, m.path), text[:m.start] + m.mutated + text[m.end:])
        targets = sorted(os.path.basename(p) for p in self.programs)
        if subprocess.run(['cmake', '--build', self.build, '-j', self.jobs, '--target'] + targets,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode:
            return 'invalid', ''
        rebuilt = self.object_files(since)
        if rebuilt and all(self.objects.get(p) == digest(p) for p in rebuilt):
            return 'equivalent', 'the same object code'
        changed = [p for p, (hashed, *_) in self.programs.items() if digest(p) != hashed]
        failed = []
        for program in changed:
            timeout, extra = self.programs[program][1:]
            passed, detail = self.test(program, timeout, extra, fail_fast=not self.every_test)
            if passed:
                continue
            if not self.every_test:
                return 'killed', f'{os.path.basename(program)}: {detail[-2000:]}'
            names = FAILED.findall(detail)   # a crash or a hang stops the program: it is named instead
            failed += [f'{os.path.basename(program)}/{n}' for n in sorted(set(names))] or \
                      [f'{os.path.basename(program)} ({detail.splitlines()[0] if detail else "failed"})']
        if failed:
            return 'killed', '\n'.join(failed)
        if self.same_when_optimised(rebuilt):
            return 'equivalent', 'the same object code optimised'
        return 'survived', '' if changed else 'no test program holds this code'

    def compile_commands(self):
        """The build's compile commands by the real path of the object each makes, read once (the build's
        configuration does not change during a run); {} without them."""
        if self.commands is None:
            try:
                with open(os.path.join(self.build, 'compile_commands.json')) as f:
                    entries = [dict(c, arguments=c.get('arguments') or shlex.split(c['command'])) for c in json.load(f)]
                self.commands = {os.path.realpath(os.path.join(c['directory'], c['arguments'][c['arguments'].index('-o') + 1])):
                                 c for c in entries}
            except (OSError, ValueError, KeyError):
                self.commands = {}
        return self.commands

    def compile_optimised(self, command):
        """The digest of one compile command's object built with -O2 and no debug information, or None."""
        kept, skip = [], False
        for a in command['arguments']:
            if skip:
                skip = False
            elif a in ('-o', '-MT', '-MF', '-MQ'):
                skip = True
            elif a not in ('-MD', '-MMD'):
                kept.append(a)
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, 'o.o')
            done = subprocess.run(kept + ['-O2', '-g0', '-frandom-seed=mutant', '-o', out], cwd=command['directory'],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            return digest(out) if done.returncode == 0 and os.path.exists(out) else None

    def same_when_optimised(self, rebuilt):
        """Whether every object the mutant changed is, compiled with optimisation, the object of the unmutated
        source: the compiler has then shown that the change cannot be seen (an initializer every path overwrites,
        a break before an empty default). Leaves the source unmutated."""
        commands = self.compile_commands()
        objects = [os.path.realpath(p) for p in rebuilt]
        if not objects or any(p not in commands for p in objects):
            return False
        mutated = {}
        for p in objects:
            mutated[p] = self.compile_optimised(commands[p])
            if mutated[p] is None:
                return False
        self.restore()
        for p in objects:
            if p not in self.optimised:
                self.optimised[p] = self.compile_optimised(commands[p])
            if self.optimised[p] != mutated[p]:
                return False
        return True

class WineWorker(Worker):
    """The Windows build of a private copy, its Wine suite the test (one at a time: it has the desktop)."""

    def __init__(self, number, jobs, lock):
        super().__init__(number, jobs, lock)
        self.build += '-' + os.environ['REVEDIZ_WINE_ARCH']
        self.configure = ['-DCMAKE_TOOLCHAIN_FILE=' + os.path.join(self.src, 'cmake', os.environ['REVEDIZ_MUTATE_TOOLCHAIN']),
                          '-DREVEDIZ_WINE_TESTS=ON', '-DCMAKE_BUILD_TYPE=Debug', '-DCMAKE_EXPORT_COMPILE_COMMANDS=ON',
                          '-DREVEDIZ_PICTURES=' + os.path.join(ROOT, 'docs', 'screenshots')]   # not in the copy

    def prepare(self):
        self.prepare_sources()
        if subprocess.run(['cmake', '--build', self.build, '-j', self.jobs], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode:
            raise RuntimeError('the Windows build of the copy does not build')
        self.hold_desktop()
        started = time.time()
        passed, detail = self.suite(3600)
        if not passed:
            raise RuntimeError('the Wine suite fails unmutated:\n' + detail[-3000:])
        self.limit = max(300.0, 3 * (time.time() - started))
        self.programs = {'wine suite': None}
        self.objects = {p: digest(p) for p in self.object_files()}

    def hold_desktop(self):
        """Starts Wine's desktop through a program that keeps it, as scripts/test.sh does: a desktop that a test
        started would inherit that test's output, and ctest would wait for it long after the test passed (a false
        kill). Copied first, so that a rebuild of the copy cannot touch the program holding it."""
        helper = os.path.join(WORK, 'revediz_window.exe')
        shutil.copyfile(os.path.join(self.build, 'revediz_window.exe'), helper)
        subprocess.run(['bash', '-c', '. scripts/wine-env.sh && revediz_hold_desktop "$1"', 'hold', helper], cwd=ROOT,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    @staticmethod
    def end_crash_dialogs():
        """Ends the debuggers Wine started for programs that crashed in this prefix: each shows a crash window
        ("Program Error") that stays after the test that crashed has ended, and every later "expect alive" would
        fail on it, killing every mutant after the first that crashes something."""
        prefix = os.path.realpath(os.environ.get('WINEPREFIX', ''))
        for pid in filter(str.isdigit, os.listdir('/proc')):
            try:
                with open(f'/proc/{pid}/cmdline', 'rb') as f:
                    if b'winedbg' not in f.read().lower():
                        continue
                with open(f'/proc/{pid}/environ', 'rb') as f:
                    environ = f.read().split(b'\0')
            except OSError:
                continue
            if any(v.startswith(b'WINEPREFIX=') and os.path.realpath(v[11:].decode(errors='replace')) == prefix
                   for v in environ):
                try:
                    os.kill(int(pid), signal.SIGKILL)
                except OSError:
                    pass

    def suite(self, timeout):
        self.end_crash_dialogs()
        argv = ['ctest', '--test-dir', self.build, '--stop-on-failure', '-j', '2', '--timeout', '120']
        try:
            done = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=timeout,
                                  stdin=subprocess.DEVNULL, errors='replace')
        except subprocess.TimeoutExpired:
            return False, f'timed out after {timeout:.0f} s'
        failed = re.findall(r'\d+ - (\S+) \(', done.stdout)
        return done.returncode == 0, (f'failed: {" ".join(failed)}\n' if failed else '') + done.stdout[-1500:]

    def run(self, m):
        if self.dirty != m.path:
            self.restore()
        text, self.dirty, since = SNAPSHOT[m.path], m.path, time.time()
        write(os.path.join(self.src, m.path), text[:m.start] + m.mutated + text[m.end:])
        if subprocess.run(['cmake', '--build', self.build, '-j', self.jobs],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode:
            return 'invalid', ''
        rebuilt = self.object_files(since)
        if rebuilt and all(self.objects.get(p) == digest(p) for p in rebuilt):
            return 'equivalent', 'the same object code'
        if self.same_when_optimised(rebuilt):      # a whole pass of the suite spared
            return 'equivalent', 'the same object code optimised'
        passed, detail = self.suite(self.limit)
        return ('survived', '') if passed else ('killed', detail.split('\n')[0])

def in_wine_environment():
    """Runs this script again inside the environment scripts/test.sh gives its Wine suite (Xvfb, the prefix, a
    wineserver), unless it runs there already."""
    if os.environ.get('REVEDIZ_MUTATE_WINE'):
        return None
    script = ('. scripts/wine-env.sh; revediz_choose_wine_arch "$PWD"; trap revediz_cleanup EXIT; '
              'revediz_wine_env "$PWD/build/$REVEDIZ_WINE_PREFIX_NAME" "$REVEDIZ_WINE_ARCH"; revediz_start_xvfb; '
              'revediz_prepare_prefix && revediz_start_wineserver && '
              'REVEDIZ_MUTATE_WINE=1 REVEDIZ_WINE_ARCH=$REVEDIZ_WINE_ARCH '
              'REVEDIZ_MUTATE_TOOLCHAIN=$(basename "$REVEDIZ_WINE_TOOLCHAIN") python3 scripts/mutate.py "$@"')
    return subprocess.run(['bash', '-c', script, 'mutate'] + sys.argv[1:], cwd=ROOT).returncode

# ---------------------------------------------------------------- report

def tally(results):
    c = {s: sum(r['status'] == s for r in results) for s in ('killed', 'survived', 'invalid', 'equivalent')}
    judged = c['killed'] + c['survived']
    c['kill_pct'] = round(100.0 * c['killed'] / judged, 1) if judged else None
    return c

def short(text, limit=90):
    text = ' '.join(text.split())
    return text if len(text) <= limit else text[:limit - 3] + '...'

def describe(r):
    return f"{r['path']}:{r['line']}: {r['op']}: {short(r['original'])} -> {short(r['mutated'])}"

def report(results, header):
    summary, row = {}, '{:<32} {:>6} {:>8} {:>7} {:>5} {:>6}'
    print(header)
    for title, key in (('file', lambda r: r['path']), ('folder', lambda r: r['path'].split('/')[0])):
        summary[title + 's'] = {n: tally([r for r in results if key(r) == n]) for n in sorted({key(r) for r in results})}
        lines = list(summary[title + 's'].items()) + ([('overall', tally(results))] if title == 'folder' else [])
        print('\n' + row.format(title, 'killed', 'survived', 'invalid', 'equiv', 'kill%'))
        for n, c in lines:
            pct = '-' if c['kill_pct'] is None else f"{c['kill_pct']:.1f}"
            print(row.format(n, c['killed'], c['survived'], c['invalid'], c['equivalent'], pct))
    summary['overall'] = tally(results)
    survivors = [r for r in results if r['status'] == 'survived']
    print(f'\nSurvivors ({len(survivors)}):')
    for r in survivors:
        print(f"#{r['number']} {describe(r)}\n    {short(r['source'], 110)}" + (f"  [{r['detail']}]" if r['detail'] else ''))
    return summary

def report_tests(results):
    """With --every-test: each test's kills, and those no other test made (a test with none adds no catch here)."""
    kills = [r['detail'].split('\n') for r in results if r['status'] == 'killed']
    tests = sorted({t for k in kills for t in k})
    by_test = {t: (sum(t in k for k in kills), sum(k == [t] for k in kills)) for t in tests}
    print('\n{:>6} {:>6}  test (kills, kills no other test made)'.format('kills', 'alone'))
    for t in sorted(tests, key=lambda t: (by_test[t][1], by_test[t][0], t)):
        print('{:>6} {:>6}  {}'.format(*by_test[t], t))
    return {t: {'kills': k, 'alone': a} for t, (k, a) in by_test.items()}

# ---------------------------------------------------------------- main

def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--seed', type=int, default=1, help='sample seed (default 1)')
    parser.add_argument('--count', type=int, default=200, help='mutants in the sample (default 200)')
    parser.add_argument('--jobs', type=int, default=2, help='workers, each with its own build (default 2)')
    parser.add_argument('--files', nargs='+', metavar='GLOB', help="only these sources, e.g. 'decode/*'")
    parser.add_argument('--json', metavar='FILE', help='write the results here too')
    parser.add_argument('--min-kill', type=float, metavar='PCT', help='exit 1 below this kill rate')
    parser.add_argument('--list', action='store_true', help='print the sample and stop')
    parser.add_argument('--only', type=int, metavar='N', help='run mutant N of the sample alone')
    parser.add_argument('--wine', action='store_true', help='the Win32 sources, against the Wine suite')
    parser.add_argument('--every-test', action='store_true',
                        help='run every test on a mutant and name all that fail; report kills per test')
    args = parser.parse_args()
    if args.wine and not args.list:
        again = in_wine_environment()
        if again is not None:
            return again
    take_snapshot()
    found = candidates(wine_source_set(args.files) if args.wine else source_set(args.files))
    numbered = list(enumerate(sample(found, args.count, args.seed), 1))
    if not numbered:
        raise RuntimeError('no candidate mutants in these files')
    if args.list:
        for n, m in numbered:
            print(f'{n:4} {describe(m._asdict())}')
        return 0
    if args.only is not None:
        if not 1 <= args.only <= len(numbered):
            raise RuntimeError(f'--only takes 1 to {len(numbered)}')
        numbered = [numbered[args.only - 1]]

    count, k, workers, started = max(1, min(args.jobs, len(numbered))), 0, [], time.time()
    kind, count = (WineWorker, 1) if args.wine else (Worker, count)
    if args.wine and args.every_test:
        raise RuntimeError('--every-test names GoogleTest cases: it runs in native mode only')
    os.makedirs(WORK, exist_ok=True)
    while len(workers) < count:        # w0, w1, ... not locked by another run at the same time
        lock = open(os.path.join(WORK, f'w{k}.lock'), 'w')
        try:
            fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
            workers.append(kind(k, max(1, args.jobs // count), lock))
            workers[-1].every_test = args.every_test
        except BlockingIOError:
            lock.close()
        k += 1
    results, lock, free, by_file = [], threading.Lock(), queue.Queue(), {}
    with ThreadPoolExecutor(count) as pool:
        list(pool.map(lambda w: w.prepare(), workers))
    ready = time.time()
    for n, m in numbered:              # a worker stays on one file a while: one recompile per mutant
        by_file.setdefault(m.path, []).append((n, m))
    pieces = sorted((ms[k:k + 8] for ms in by_file.values() for k in range(0, len(ms), 8)),
                    key=lambda p: (not p[0][1].path.endswith('.h'), -len(p)))   # the slow headers first
    for w in workers:
        free.put(w)
    stop = threading.Event()           # on SIGINT or SIGTERM: finish the mutants under way, restore, stop
    for sig in (signal.SIGINT, signal.SIGTERM):
        signal.signal(sig, lambda *_: stop.set())
    def run_piece(piece):
        w = free.get()
        try:
            for n, m in piece:
                if stop.is_set():
                    return
                t0, lines = time.time(), SNAPSHOT[m.path].split('\n')
                status, detail = w.run(m)
                r = dict(m._asdict(), number=n, status=status, seconds=round(time.time() - t0, 1),
                         source=lines[m.line - 1].strip(), detail=detail)
                with lock:
                    results.append(r)
                    print(f"[{len(results):3}/{len(numbered)} {time.time() - started:5.0f}s] {status:<10} "
                          f"{describe(r)} ({r['seconds']} s)", file=sys.stderr, flush=True)
        finally:
            free.put(w)
    try:
        with ThreadPoolExecutor(count) as pool:
            list(pool.map(run_piece, pieces))
    finally:
        for w in workers:
            w.restore()
    if stop.is_set():
        raise RuntimeError('stopped; the worker trees are restored')
    results.sort(key=lambda r: r['number'])
    elapsed, per_mutant = time.time() - started, (time.time() - ready) / len(results)
    notes = sorted({n for w in workers for n in w.notes})
    if args.only is not None:
        r = results[0]
        print(''.join(f'warning: {n}\n' for n in notes) + f"#{r['number']} {describe(r)}\n    {r['source']}\n"
              f"{r['status']}\n{r['detail']}".rstrip())
        return 0
    programs = ' '.join(sorted(os.path.basename(p) for p in workers[0].programs))
    summary = report(results, f'Mutation testing: {len(results)} of {len(found)} candidate mutants (seed {args.seed}); '
                     f'{programs}; {len(workers)} workers, {elapsed / 60:.1f} min, {per_mutant:.1f} s per mutant, '
                     f'set-up {ready - started:.0f} s' + ''.join(f'\nwarning: {n}' for n in notes))
    if args.every_test:
        summary['tests'] = report_tests(results)
    if args.json:
        with open(args.json, 'w') as f:
            json.dump({'seed': args.seed, 'candidates': len(found), 'seconds': round(elapsed), 'warnings': notes,
                       'seconds_per_mutant': round(per_mutant, 2), **summary,
                       'mutants': [{k: v for k, v in r.items() if k not in ('start', 'end')} for r in results]},
                      f, indent=1)
    return 1 if args.min_kill is not None and (summary['overall']['kill_pct'] or 0) < args.min_kill else 0

if __name__ == '__main__':
    try:
        sys.exit(main())
    except (RuntimeError, OSError) as error:
        print(f'mutate.py: {error}', file=sys.stderr)
        sys.exit(2)
