#!/usr/bin/env python3
"""Checks the program's callsign lookup from outside, against the country files.

usage: tools/check_callsign_lookup.py VEL_DXCC_BINARY EMPTY_DATA_DIR   (SEED=n to vary)

Builds 1,500 callsigns of seven kinds from the Debian country files (hamradio-files):
exact calls, calls that merely begin with one, PREFIX/CALL, CALL/PREFIX, portable
suffixes, /MM and /AM, plain calls of MASTER.SCP. Imports them with `vel_dxcc import`
into station F5XYZ of the folder, and compares each QSO's entity (by ADIF number)
with the answer of a resolver written here from the country files' own rules."""
import datetime, random, re, subprocess, sys, os, collections
CTY = '/usr/share/hamradio-files/cty.dat'
SCP = '/usr/share/hamradio-files/MASTER.SCP'
BIN, DATA, STATION = sys.argv[1], os.path.abspath(sys.argv[2]), 'F5XYZ'

def parse_cty(path):
    prefixes, exact, names = {}, {}, {}
    text = open(path, encoding='latin-1').read()
    for rec in text.split(';'):
        rec = rec.strip()
        if not rec: continue
        head, _, body = rec.partition('\n')
        f = [x.strip() for x in head.split(':')]
        if len(f) < 8: continue
        name, primary = f[7], f[7]
        names[primary] = name
        for alias in body.replace('\n', '').split(','):
            alias = re.sub(r'\(.*?\)|\[.*?\]|<.*?>|\{.*?\}|~.*?~', '', alias.strip())
            if not alias: continue
            if alias.startswith('='): exact[alias[1:]] = name
            else: prefixes[alias] = name
    return prefixes, exact

P, E = parse_cty(CTY)
MAXP = max(map(len, P))
def longest(s):
    for n in range(min(len(s), MAXP), 0, -1):
        if s[:n] in P: return P[s[:n]]
    return None
DROP = {'P', 'M', 'QRP', 'QRPP', 'LH', 'B'}
def resolve(call):
    if call in E: return E[call]
    parts = call.split('/')
    if len(parts) == 1: return longest(call)
    if parts[-1] in ('MM', 'AM'): return None
    while len(parts) > 1 and parts[-1] in DROP: parts.pop()
    call = '/'.join(parts)
    if call in E: return E[call]
    if len(parts) == 1: return longest(call)
    a, b = parts[0], parts[1]
    if len(b) == 1 and b.isdigit():
        i = max(i for i, c in enumerate(a) if c.isdigit())
        return longest(a[:i] + b + a[i+1:])
    place, other = (a, b) if len(a) <= len(b) else (b, a)
    return longest(place) or longest(other)

rng = random.Random(int(os.environ.get('SEED', '27')))
scp = [l.strip() for l in open(SCP, encoding='latin-1') if l.strip() and not l.startswith('#')]
plain = [c for c in scp if '/' not in c and 4 <= len(c) <= 8 and c not in E]
exact_calls = [c for c in E if len(c) <= 12]
kinds = collections.OrderedDict()
kinds['exact'] = rng.sample(exact_calls, 150)
ext = []
for c in rng.sample([c for c in E if '/' not in c and len(c) <= 10], 600):
    x = c + rng.choice('ABCDEFGHJKLMNPQRSTUVWXYZ')
    if x not in E and x[:-1] in E and longest(x) != E[c] and len(ext) < 150: ext.append(x)
for c in rng.sample([c for c in E if '/' not in c and len(c) <= 10], 2000):
    x = c + rng.choice('ABCDEFGHJKLMNPQRSTUVWXYZ')
    if len(ext) >= 150: break
    if x not in E and x not in ext: ext.append(x)
kinds['extended'] = ext
places = [p for p in P if 2 <= len(p) <= 4 and any(ch.isdigit() for ch in p) and p not in E]
def pc(first):
    out = []
    while len(out) < 150:
        p, c = rng.choice(places), rng.choice(plain)
        if len(c) <= len(p) or len(p) + 1 + len(c) > 12: continue
        x = f'{p}/{c}' if first else f'{c}/{p}'
        if x in E or x in out: continue
        out.append(x)
    return out
kinds['prefix/call'] = pc(True)
kinds['call/prefix'] = pc(False)
kinds['portable'] = [c + '/' + rng.choice(sorted(DROP)) for c in rng.sample([c for c in plain if len(c) <= 7], 150)]
kinds['portable'] = [c for c in kinds['portable'] if c not in E]
kinds['mm/am'] = [c + rng.choice(['/MM', '/AM']) for c in rng.sample([c for c in plain if len(c) <= 9], 150)]
kinds['plain'] = rng.sample(plain, 600)

os.makedirs(DATA, exist_ok=True)
open(os.path.join(DATA, STATION + '_DXCC.log'), 'a').close()
adi = os.path.join(DATA, '..', 'calls.adi')
with open(adi, 'w') as f:
    f.write('proof <EOH>\n')
    n = 0
    for kind, calls in kinds.items():
        for c in calls:
            n += 1
            t = f'{(n // 60) % 24:02d}{n % 60:02d}'
            d = (datetime.date(2024, 1, 1) + datetime.timedelta(days=n // 1440)).strftime('%Y%m%d')
            f.write(f'<CALL:{len(c)}>{c}<QSO_DATE:8>{d}'
                    f'<TIME_ON:4>{t}<BAND:3>20m<MODE:2>CW<EOR>\n')
env = dict(os.environ); env.pop('DISPLAY', None)
r = subprocess.run([BIN, 'import', adi, '--station', STATION, '--data-dir', DATA], env=env,
                   capture_output=True, text=True)
print('import exit', r.returncode, r.stdout.strip().splitlines()[-2:], r.stderr.strip()[:300])
adif_of_name = {}
for l in open('/usr/share/hamradio-files/cty.csv', encoding='latin-1'):
    f = l.split(',')
    if len(f) > 3: adif_of_name[f[0]] = f[2]
adif_of_prefix = {}
for l in open(os.path.join(DATA, 'Entites_DXCC.txt'), encoding='cp1252'):
    if l.startswith('#'): continue
    f = l.rstrip('\r\n').split('\t')
    if len(f) >= 9: adif_of_prefix[f[0]] = f[8]
got = {}
for line in open(os.path.join(DATA, STATION + '_DXCC.log'), encoding='cp1252', newline='').read().split('\r\n'):
    if len(line) < 71: continue
    got[line[0:12].strip()] = adif_of_prefix.get(line[64:70].strip(), line[64:70].strip() or None)
failures = 0
for kind, calls in kinds.items():
    right = wrong = 0; bad = []
    for c in calls:
        want = resolve(c); want = want and adif_of_name[want]; have = got.get(c, 'MISSING')
        if (want or None) and have and want == have or (want is None and have is None): right += 1
        else: wrong += 1; bad.append((c, want, have))
    print(f'{kind:12} {right}/{len(calls)}', bad[:5])
    if wrong and (kind != 'plain' or right < 0.999 * len(calls)): failures += 1
sys.exit(1 if failures or r.returncode else 0)
