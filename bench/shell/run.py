#!/usr/bin/env python3
"""Shell benchmarks, each side by side with a bare QWebView program in the same run."""
import os, re, statistics, subprocess, sys, tempfile, time

build = sys.argv[1]
here = os.path.dirname(os.path.abspath(__file__))
content = os.path.join(here, 'content')
shell = os.path.join(build, 'bin', 'covrel')
bare = os.path.join(build, 'bench', 'bench_bare_webview')
env = dict(os.environ, QT_QPA_PLATFORM='offscreen')
env.setdefault('XDG_RUNTIME_DIR', tempfile.mkdtemp())
os.chmod(env['XDG_RUNTIME_DIR'], 0o700)


def command(program, page, content_dir=content):
    if program == 'shell':
        return [shell, '--disable-show-maximized', '--content-dir-path', content_dir,
                '--url', 'file://' + os.path.join(content_dir, page)]
    return [bare, os.path.join(content_dir, page)]


def time_to_marker(program, page, marker):
    start = time.perf_counter()
    proc = subprocess.Popen(command(program, page), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env)
    elapsed = None
    for line in proc.stdout:
        if marker in line:
            elapsed = time.perf_counter() - start
            break
    proc.kill()
    proc.wait()
    return elapsed


def run_to_marker(program, page, marker, timeout=120):
    """Runs with stdout into a file (as a desktop program's would go nowhere fast) and returns it."""
    with tempfile.NamedTemporaryFile('w+b') as out:
        proc = subprocess.Popen(command(program, page), stdout=out, stderr=subprocess.DEVNULL, env=env)
        deadline = time.time() + timeout
        while time.time() < deadline:
            time.sleep(0.1)
            out.seek(0)
            text = out.read().decode('utf-8', 'replace')
            if marker in text:
                break
        proc.kill()
        proc.wait()
        return text


def peak_rss_kib(program, page, marker, content_dir):
    proc = subprocess.Popen(command(program, page, content_dir), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env)
    for line in proc.stdout:
        if marker in line:
            break
    time.sleep(0.5)
    with open('/proc/%d/status' % proc.pid) as status:
        rss = int(re.search(r'VmHWM:\s+(\d+)', status.read()).group(1))
    proc.kill()
    proc.wait()
    return rss


# Start-up: process start to the page's first script seeing the bridge.
runs = {'shell': [], 'bare': []}
for _ in range(10):
    for program in ('shell', 'bare'):
        runs[program].append(time_to_marker(program, 'startup.html', b'first-script object'))
s, b = statistics.median(runs['shell']), statistics.median(runs['bare'])
print('startup median ms: shell %.1f, bare QWebView %.1f' % (s * 1000, b * 1000))
print('startup ratio shell/bare: %.2f (goal <= 1.3)' % (s / b))

# Bridge calls: echo round trips per second from page script.
rates = {'shell': {'echo10': [], 'echo100k': []}, 'bare': {'echo10': [], 'echo100k': []}}
for _ in range(3):
    for program in ('shell', 'bare'):
        text = run_to_marker(program, 'echo.html', 'echo-done')
        for key in ('echo10', 'echo100k'):
            m = re.search(key + r' (\d+)', text)
            rates[program][key].append(float(m.group(1)) if m else float('nan'))
for key, label in (('echo10', '10-byte'), ('echo100k', '100 KB')):
    s, b = statistics.median(rates['shell'][key]), statistics.median(rates['bare'][key])
    print('echo %s round trips/s: shell %.0f, bare object %.0f' % (label, s, b))
    print('echo %s ratio shell/bare: %.2f (goal >= 0.9)' % (label, s / b))

# The same with the shell's console going nowhere, as for a desktop program
# started from its icon: the rates come back through the journal instead.
def shell_rates_console_discarded():
    logs = os.path.join(build, 'bin', 'store', 'logs')
    before = set(os.listdir(logs)) if os.path.isdir(logs) else set()
    subprocess.run(command('shell', 'echo.html'), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env, timeout=120)
    import json
    for name in sorted(set(os.listdir(logs)) - before):
        for record in json.load(open(os.path.join(logs, name), encoding='utf-8')):
            if record['message'] == 'echo-result':
                return record['data']
    return {'echo10': float('nan'), 'echo100k': float('nan')}

quiet = [shell_rates_console_discarded() for _ in range(3)]
for key, label in (('echo10', '10-byte'), ('echo100k', '100 KB')):
    s = statistics.median(q[key] for q in quiet)
    b = statistics.median(rates['bare'][key])
    print('echo %s ratio shell/bare with the console discarded: %.2f (shell %.0f/s)' % (label, s / b, s))

# Peak memory of the shell on the demo page.
demo = os.path.join(build, 'bin', 'content')
print('peak RSS on the demo page: shell %d KiB, bare QWebView %d KiB' % (
    peak_rss_kib('shell', 'index.html', b'demo-ready', demo),
    peak_rss_kib('bare', 'index.html', b'demo-ready', demo)))
