#!/usr/bin/env python3
"""Whole-distribution benchmark under Wine: the setup program builds (-b) and installs
(the self-extracting setup.exe, run from the build folder) two generated products, timed
against raw zlib on the same files and a plain copy, in the same run and pair by pair.

  a. large: --big-mb MB in --big-files files (text, random and executable-like in turn)
     in two folders;
  b. small: --small files of 1 kB in one folder.

For each product and round, in turn: raw deflate -9 of every file into one output, the
build; raw inflate of that output into new files (64 KiB writes), a plain copy of the
files, the installation. Ratio = kit time / baseline time (1.00 = as fast as the baseline;
targets: build <= 1.05 x deflate, install <= 1.10 x inflate). The figures are the median of
the pairs' ratios; each time counts from the process's start to its end.

Peak memory is the highest VmHWM (peak resident set, what Windows calls the peak working
set; Wine's GetProcessMemoryInfo reports the same figure) of any process of the run whose
command line names setup.exe and whose WINEPREFIX is the run's, read from /proc while it
runs. Under Wine it includes Wine's
own libraries: the baseline program's peak is printed beside it as that floor.

With --before OTHER/bin (another build of the kit, e.g. the code before a change) each
round also builds and installs with that kit, in turn with this one, and prints both; and
every installation is followed by a second one over the installed files (an upgrade that
replaces every file), timed as 'upgrade'.

Each installation is also made unattended ('install -q': the setup program's -q, no window at
all) into an empty folder, and its peak is printed beside the windowed one: a peer's silent
installation (/S, no window) compares with that one.

Peers (--peers; needs makensis, from the Debian package nsis): the same files packed by
makensis into an installer with zlib (each file compressed on its own) and one with LZMA
solid, built (makensis runs natively) and installed silently under Wine in the same rounds,
each installation's peak memory read the same way. They are products we measure against,
not parts of the kit. Sizes: the self-extracting setup.exe and each installer less the raw
deflate of the payload (the bytes that are not payload), and setup.1.

usage: distribution_bench.py --bin BUILD/bin [--before OTHER/bin] [--big-mb 200] [--big-files 8]
                             [--small 6000] [--rounds 3] [--peers] [--work /tmp/kst-bench] [--keep]
Needs wine, winepath and Xvfb (started on a free display unless DISPLAY is set). Makes and
removes a throwaway Wine prefix under --work.
"""
import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import threading
import time


def log(text):
    print(text, flush=True)


class Host:
    """The Wine prefix, the display and the commands run in them."""

    def __init__(self, work):
        self.work = work
        self.prefix = os.path.join(work, 'prefix')
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEARCH='win32', WINEDEBUG='-all',
                        WINEDLLOVERRIDES='mscoree,mshtml,winemenubuilder.exe=')
        self.xvfb = None
        if not os.environ.get('DISPLAY'):
            for n in range(92, 100):
                if not os.path.exists('/tmp/.X11-unix/X%d' % n) and not os.path.exists('/tmp/.X%d-lock' % n):
                    self.xvfb = subprocess.Popen(['Xvfb', ':%d' % n, '-screen', '0', '1024x768x24', '-nolisten', 'tcp'],
                                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                    self.env['DISPLAY'] = ':%d' % n
                    time.sleep(1)
                    break
            else:
                sys.exit('no free X display')
        self.drive_c = os.path.join(self.prefix, 'drive_c')
        # A server that stays up, so no run pays for starting it.
        os.makedirs(self.prefix)
        subprocess.run(['wineserver', '-p'], env=self.env, check=True)
        self.wine(['wineboot', '-i'], check=False)
        # Windows outside a window manager: without one, Wine waits up to 2 s for every hidden
        # top-level window to be withdrawn, a cost no Windows machine pays.
        self.wine(['reg', 'add', 'HKCU\\Software\\Wine\\X11 Driver', '/v', 'Managed', '/d', 'N', '/f'])
        # A windowed program open for the whole run keeps Wine's desktop process alive. Without
        # one, Wine ends that process a few seconds after the last window goes, and the first
        # windowed program after the console baselines (the build, after raw inflate and copy)
        # waited for it to start again: 3 to 10 s in a fresh prefix, a cost no Windows machine
        # pays and which made the build of 6,000 small files look 8.9 times raw deflate.
        self.keepalive = subprocess.Popen(['wine', 'notepad'], env=self.env, stdin=subprocess.DEVNULL,
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def close(self):
        subprocess.run(['wineserver', '-k'], env=self.env, check=False)
        self.keepalive.wait()
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait()

    def wine(self, args, check=True):
        # Output to a file: Wine's helper processes outlive the command and would hold a pipe.
        with open(os.path.join(self.work, 'wine.log'), 'ab+') as out:
            start = out.seek(0, os.SEEK_END)
            r = subprocess.run(['wine'] + args, env=self.env, stdin=subprocess.DEVNULL, stdout=out, stderr=out)
            out.seek(start)
            if check and r.returncode != 0:
                sys.exit('failed (%d): wine %s\n%s' % (r.returncode, ' '.join(args), out.read().decode(errors='replace')))
        return r

    def unix(self, windows_path):
        return os.path.join(self.drive_c, windows_path[3:].replace('\\', '/'))

    def timed(self, args, match=b'setup.exe', limit=1800):
        """Runs wine ARGS to its end: (seconds, the highest peak resident bytes of the processes
        started meanwhile whose command line holds match and that run in this prefix). (The rusage of the finished process
        would not do: its maximum keeps the resident size of this Python before the exec.)"""
        before = set(os.listdir('/proc'))
        prefix_entry = ('WINEPREFIX=' + self.prefix).encode()
        start = time.perf_counter()
        proc = subprocess.Popen(['wine'] + args, env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        peak = [0]
        done = threading.Event()

        def watch():
            while not done.is_set():
                for pid in set(os.listdir('/proc')) - before:
                    if not pid.isdigit():
                        continue
                    try:
                        with open('/proc/%s/cmdline' % pid, 'rb') as f:
                            if match not in f.read().lower():
                                continue
                        # Only this run's prefix: other programs named setup.exe (tests of
                        # other builds on the machine) are not ours.
                        with open('/proc/%s/environ' % pid, 'rb') as f:
                            if prefix_entry not in f.read().split(b'\0'):
                                continue
                        with open('/proc/%s/status' % pid) as f:
                            for line in f:
                                if line.startswith('VmHWM:'):
                                    peak[0] = max(peak[0], int(line.split()[1]) * 1024)
                    except OSError:
                        pass
                done.wait(0.01)

        watcher = threading.Thread(target=watch)
        watcher.start()
        try:
            _, status, _ = os.wait4(proc.pid, 0)
        finally:
            done.set()
            watcher.join()
        seconds = time.perf_counter() - start
        proc.returncode = os.waitstatus_to_exitcode(status)
        if proc.returncode != 0:
            sys.exit('failed (%d): wine %s' % (proc.returncode, ' '.join(args)))
        if seconds > limit:
            sys.exit('too slow: wine %s' % ' '.join(args))
        return seconds, peak[0]


def generate(path, kind, size, rng):
    words = [b'install ', b'archive ', b'the ', b'volume ', b'Zarvotill ', b'header ', b'of ', b'setup\r\n',
             b'database ', b'file ', b'version ']
    ops = bytes([0x55, 0x8B, 0xEC, 0x83, 0xC4, 0x89, 0x45, 0xFC, 0xE8, 0xC3, 0x50, 0x6A, 0x00])
    with open(path, 'wb') as f:
        done = 0
        while done < size:
            want = min(1 << 20, size - done)
            if kind == 'random':
                piece = rng.randbytes(want)
            elif kind == 'text':
                piece = b''.join(rng.choices(words, k=want // 5 + 1))[:want]
            else:  # executable-like: code-ish runs, address tables, zero padding, random stretches
                parts, n = [], 0
                while n < want:
                    r = rng.randrange(16)
                    if r < 9:
                        p = bytes(rng.choices(ops, k=24))
                    elif r < 12:
                        base = 0x00401000 + rng.randrange(4096) * 16
                        p = b''.join((base + 4 * i).to_bytes(4, 'little') for i in range(8))
                    elif r < 15:
                        p = bytes(64)
                    else:
                        p = rng.randbytes(32)
                    parts.append(p)
                    n += len(p)
                piece = b''.join(parts)[:want]
            f.write(piece)
            done += want


SCRIPT_HEAD = """object frmMain: TfrmMain
  Caption = 'Kestrune distribution benchmark'
  object Install: TInstall
    ArchiveFileType = psMainArchiveFile
    DestDir = '{dest}'
    DestDirType = nil
    HideMainForm = False
    Information.ProductName = 'Benchmark {name}'
    Reboot = False
    UseLoadingProgram = True
  end
"""
GROUP = """  object G{g}: TInstallFileGroup
    Container = Install
    DestDirType = psContainerDestDir
    DestDir = '\\{folder}'
    ArchiveFileType = psContainerArchiveFile
  end
"""
FILE = """  object F{i}: TInstallFile
    Container = G{g}
    DestDirType = psContainerDestDir
    ArchiveFileType = psContainerArchiveFile
    FileName = '{leaf}'
    DestName = '{leaf}'
    IncludeFromDir = '{src}'
    Order = {i}
  end
"""


NSIS_SCRIPT = """Unicode true
SetCompressor {compressor}
Name "Benchmark {name}"
OutFile "{out}"
InstallDir "{dest}"
RequestExecutionLevel user
{window}Section
{files}SectionEnd
"""


class NsisPeer:
    """The product's files in an installer made by makensis: zlib, or LZMA solid, run silently
    (/S); and zlib with its progress page shown, closing by itself at the end, beside the kit's
    windowed installation."""

    COMPRESSORS = {'nsis-zlib': '/FINAL zlib', 'nsis-lzma': '/SOLID /FINAL lzma', 'nsis-zlib-window': '/FINAL zlib'}
    WINDOWED = {'nsis-zlib-window'}

    def __init__(self, product, kind):
        self.product, self.kind = product, kind
        self.exe = 'C:\\KstBench\\Nsis\\%s-%s.exe' % (kind, product.name)
        self.dest = 'C:\\KstBench\\NsisInst\\%s-%s' % (kind, product.name)
        self.script = product.host.unix('C:\\KstBench\\Nsis\\%s-%s.nsi' % (kind, product.name))

    def prepare(self):
        host, p = self.product.host, self.product
        folders = sorted({os.path.dirname(rel.replace('\\', '/')) for rel in p.files})
        files = ''.join('  SetOutPath "$INSTDIR\\%s"\n  File "%s/*"\n'
                        % (f.replace('/', '\\'), host.unix(p.src + '\\' + f.replace('/', '\\')))
                        for f in folders)
        os.makedirs(os.path.dirname(self.script), exist_ok=True)
        with open(self.script, 'w') as out:
            window = ('AutoCloseWindow true\nPage instfiles\n' if self.kind in self.WINDOWED
                      else 'SilentInstall silent\n')
            out.write(NSIS_SCRIPT.format(compressor=self.COMPRESSORS[self.kind], name=p.name, window=window,
                                         out=host.unix(self.exe), dest=self.dest, files=files))

    def build(self):
        start = time.perf_counter()
        r = subprocess.run(['makensis', '-V1', self.script], stdin=subprocess.DEVNULL,
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        seconds = time.perf_counter() - start
        if r.returncode != 0:
            sys.exit('makensis failed for %s:\n%s' % (self.script, r.stdout.decode(errors='replace')))
        return seconds

    def install(self):
        self.product.clear(self.dest)
        silent = [] if self.kind in self.WINDOWED else ['/S']
        seconds, peak = self.product.host.timed([self.exe] + silent + ['/D=' + self.dest],
                                                match=os.path.basename(self.exe.replace('\\', '/')).lower().encode())
        self.product.check(self.dest)
        return seconds, peak


class Product:
    """A generated product: its files, its script, its setup program and its build."""

    def __init__(self, host, name, files):
        self.host, self.name, self.files = host, name, files  # files: relative path -> (kind, size)
        self.src = 'C:\\KstBench\\Src\\' + name
        self.kits = {}  # label -> (make folder, output folder)
        self.dest = 'C:\\KstBench\\Inst\\' + name
        self.raw = 'C:\\KstBench\\Raw\\' + name
        self.bytes = sum(size for _, size in files.values())
        self.peers = []
        self.install_peaks = {}  # time key of an installation -> its peak memory (last round)

    def prepare(self, kits):
        """kits: label -> the bin folder of a kit; each gets its own setup program and build."""
        host = self.host
        rng = random.Random(self.name)
        for rel, (kind, size) in self.files.items():
            path = host.unix(self.src + '\\' + rel)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            generate(path, kind, size, rng)
        folders = sorted({os.path.dirname(rel.replace('\\', '/')) for rel in self.files})
        text = SCRIPT_HEAD.format(dest=self.dest, name=self.name)
        text += ''.join(GROUP.format(g=g, folder=folder.replace('/', '\\')) for g, folder in enumerate(folders))
        for i, rel in enumerate(sorted(self.files)):
            folder, leaf = os.path.split(rel.replace('\\', '/'))
            text += FILE.format(i=i, g=folders.index(folder), leaf=leaf,
                                src=self.src + '\\' + folder.replace('/', '\\'))
        text += 'end\n'
        os.makedirs(host.unix(self.raw), exist_ok=True)
        with open(host.unix(self.raw + '\\list.txt'), 'w', newline='\r\n') as f:
            f.write(''.join(rel + '\n' for rel in sorted(self.files)))
        for label, bin_dir in kits.items():
            make = 'C:\\KstBench\\Make\\%s-%s' % (self.name, label)
            out = 'C:\\KstBench\\Out\\%s-%s' % (self.name, label)
            self.kits[label] = (make, out)
            os.makedirs(host.unix(make), exist_ok=True)
            with open(host.unix(make + '\\bench.kfm'), 'w', newline='\r\n') as f:
                f.write(text)
            with open(host.unix(make + '\\BUILD.INF'), 'w', newline='\r\n') as f:
                f.write(out + '\n')
            host.wine([os.path.join(bin_dir, 'kestrune-script.exe'), 'make-setup', make + '\\bench.kfm',
                       '-o', make + '\\setup.exe', '--setup', os.path.join(bin_dir, 'setup.exe')])

    def clear(self, *paths):
        for p in paths:
            shutil.rmtree(self.host.unix(p), ignore_errors=True)

    def round(self, baseline, number=0):
        """The baselines, then per kit in turn (in the opposite order every other round, so
        that neither kit always follows the baselines' writes): the build, an installation
        into an empty folder and one over it. Times are keyed 'build', 'install', 'upgrade'
        for the first kit and with ' LABEL' added for the others."""
        host = self.host
        self.clear(self.raw + '\\deflated')
        os.makedirs(host.unix(self.raw + '\\deflated'), exist_ok=True)
        t = {}
        t['deflate'], _ = host.timed([baseline, 'deflate', self.src, self.raw + '\\list.txt',
                                      self.raw + '\\deflated\\all.z'], match=b'bench_baseline')
        self.clear(self.raw + '\\inflated', self.raw + '\\copied')
        t['inflate'], floor = host.timed([baseline, 'inflate', self.raw + '\\deflated\\all.z', self.raw + '\\inflated'],
                                         match=b'bench_baseline')
        t['copy'], _ = host.timed([baseline, 'copy', self.src, self.raw + '\\list.txt', self.raw + '\\copied'],
                                match=b'bench_baseline')
        for dest in (self.raw + '\\inflated', self.raw + '\\copied'):
            self.check(dest)
        mem = 0
        first = next(iter(self.kits))
        kits = list(self.kits.items())
        if number % 2:
            kits.reverse()
        for label, (make, out) in kits:
            key = (lambda k: k) if label == first else (lambda k, label=label: k + ' ' + label)
            self.clear(out)
            host.wine(['reg', 'add', 'HKCU\\Software\\Borland\\Delphi\\3.0\\Library', '/v', 'SearchPath', '/d',
                       kit_folder(label), '/f'])
            t[key('build')], mem_build = host.timed([make + '\\setup.exe', '-b'])
            if not os.path.exists(host.unix(out + '\\files.1')):
                sys.exit('the build of %s made no files.1' % self.name)
            self.clear(self.dest)
            t[key('install')], mem_install = host.timed([out + '\\setup.exe'])
            self.install_peaks[key('install')] = mem_install
            self.check(self.dest)
            t[key('upgrade')], mem_upgrade = host.timed([out + '\\setup.exe'])
            self.check(self.dest)
            # Unattended (-q, no window at all): what compares with a peer's silent run.
            self.clear(self.dest)
            t[key('install -q')], self.install_peaks[key('install -q')] = host.timed([out + '\\setup.exe', '-q'])
            self.check(self.dest)
            mem = max(mem, mem_build, mem_install, mem_upgrade)
        return t, mem, floor

    def round_peers(self, t):
        """The sizes of the first kit's distribution, then each peer's build and installation
        (into t); the peak memory of every installation, the kits' and the peers'."""
        host = self.host
        out = next(iter(self.kits.values()))[1]
        deflated = os.path.getsize(host.unix(self.raw + '\\deflated\\all.z'))
        t['setup.1 size'] = os.path.getsize(host.unix(out + '\\setup.1'))
        t['setup.exe size'] = os.path.getsize(host.unix(out + '\\setup.exe'))
        t['setup.exe overhead size'] = t['setup.exe size'] - deflated
        peaks = dict(self.install_peaks)
        for peer in self.peers:
            t[peer.kind + ' build'] = peer.build()
            t[peer.kind + ' install'], peaks[peer.kind + ' install'] = peer.install()
            t[peer.kind + ' size'] = os.path.getsize(host.unix(peer.exe))
            t[peer.kind + ' overhead size'] = t[peer.kind + ' size'] - deflated
        return peaks

    def check(self, dest):
        for rel in self.files:
            a, b = self.host.unix(self.src + '\\' + rel), self.host.unix(dest + '\\' + rel)
            with open(a, 'rb') as fa, open(b, 'rb') as fb:
                if fa.read() != fb.read():
                    sys.exit('%s in %s differs from its source' % (rel, dest))


def kit_folder(label):
    return 'C:\\KstBench\\Kit\\' + label


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument('--bin', required=True, help='the Windows build\'s bin folder')
    ap.add_argument('--before', help='another build\'s bin folder, measured in turn with --bin')
    ap.add_argument('--big-mb', type=int, default=200)
    ap.add_argument('--big-files', type=int, default=8)
    ap.add_argument('--small', type=int, default=6000)
    ap.add_argument('--rounds', type=int, default=3)
    ap.add_argument('--peers', action='store_true', help='measure the makensis installers too')
    ap.add_argument('--work', default='/tmp/kst-bench')
    ap.add_argument('--keep', action='store_true', help='keep the work folder and its Wine prefix')
    opt = ap.parse_args()
    bin_dir = os.path.abspath(opt.bin)
    shutil.rmtree(opt.work, ignore_errors=True)
    os.makedirs(opt.work)
    host = Host(opt.work)
    try:
        # The kit folders the builds take the loader from, one per kit: each build is pointed
        # at its own before it runs (Product.round), so that a loader changed since --before is measured.
        for label, bin_kit in (('now', bin_dir), ('before', opt.before)):
            if bin_kit:
                kit = host.unix(kit_folder(label))
                os.makedirs(kit)
                shutil.copy(os.path.join(bin_kit, 'KestruneLoadProgram.exe'), kit)
                open(os.path.join(kit, 'K32V35.TXT'), 'w').write('kit\n')
        baseline = os.path.join(bin_dir, 'bench_baseline.exe')
        kinds = ['text', 'random', 'exe']
        products = []
        if opt.big_mb > 0 and opt.big_files > 0:
            each = opt.big_mb * 1024 * 1024 // opt.big_files
            products.append(Product(host, 'large', {
                '%s\\%s%d.dat' % ('data' if i % 2 else 'bin', kinds[i % 3], i): (kinds[i % 3], each)
                for i in range(opt.big_files)}))
        if opt.small > 0:
            products.append(Product(host, 'small', {
                'files\\%s%d.dat' % (kinds[i % 3], i): (kinds[i % 3], 1024) for i in range(opt.small)}))
        if opt.peers and not shutil.which('makensis'):
            sys.exit('--peers needs makensis (Debian package nsis)')
        for p in products:
            log('preparing %s: %d files, %.1f MB' % (p.name, len(p.files), p.bytes / 1e6))
            kits = {'now': bin_dir}
            if opt.before:
                kits['before'] = os.path.abspath(opt.before)
            p.prepare(kits)
            if opt.peers:
                p.peers = [NsisPeer(p, kind) for kind in NsisPeer.COMPRESSORS]
                for peer in p.peers:
                    peer.prepare()
        for p in products:
            rows, peaks, floors, installs = [], [], [], []
            for r in range(opt.rounds):
                t, peak, floor = p.round(baseline, r)
                installs.append(p.round_peers(t))
                rows.append(t)
                peaks.append(peak)
                floors.append(floor)
                log('  %s round %d: %s' % (p.name, r + 1, '  '.join(
                    ('%s %d B' if k.endswith(' size') else '%s %.2f s') % (k, v) for k, v in t.items())))

            def med(key):
                return statistics.median(row[key] for row in rows)

            def ratio(a, b):
                return statistics.median(row[a] / row[b] for row in rows)

            mb = p.bytes / 1e6
            log('%s: %d files, %.1f MB, %d rounds (medians)' % (p.name, len(p.files), mb, opt.rounds))
            log('  build    %7.2f s  raw deflate -9 %7.2f s  build / deflate    %.3f  (target <= 1.05)'
                % (med('build'), med('deflate'), ratio('build', 'deflate')))
            log('  install  %7.2f s  raw inflate    %7.2f s  install / inflate  %.3f  (target <= 1.10)'
                % (med('install'), med('inflate'), ratio('install', 'inflate')))
            log('  upgrade  %7.2f s  (an installation over the installed files)' % med('upgrade'))
            if opt.before:
                log('  before:  build %.2f s (%.3f x deflate), install %.2f s (%.3f x inflate), upgrade %.2f s'
                    % (med('build before'), ratio('build before', 'deflate'), med('install before'),
                       ratio('install before', 'inflate'), med('upgrade before')))
                log('  now / before (median of the rounds): build %.3f, install %.3f, upgrade %.3f'
                    % (ratio('build', 'build before'), ratio('install', 'install before'),
                       ratio('upgrade', 'upgrade before')))
            log('           %7s    plain copy     %7.2f s  install / copy     %.3f'
                % ('', med('copy'), ratio('install', 'copy')))
            log('  peak memory of the setup program %.1f MB, installing %.1f MB with its window, %.1f MB unattended '
                '(-q; the baseline program under Wine: %.1f MB)'
                % (max(peaks) / 2**20, max(m['install'] for m in installs) / 2**20,
                   max(m['install -q'] for m in installs) / 2**20, max(floors) / 2**20))
            log('  install -q %5.2f s  (unattended, no window)' % med('install -q'))
            if opt.before:
                log('  before: install -q %5.2f s; now / before (median of the rounds): install -q %.3f'
                    % (med('install -q before'), ratio('install -q', 'install -q before')))
            if opt.before:
                log('  before: peak installing %.1f MB with its window, %.1f MB unattended (-q)'
                    % (max(m['install before'] for m in installs) / 2**20,
                       max(m['install -q before'] for m in installs) / 2**20))
            log('  setup.exe %d bytes, %d of them beside the raw deflate of the payload; setup.1 %d bytes'
                % (med('setup.exe size'), med('setup.exe overhead size'), med('setup.1 size')))
            for peer in p.peers:
                k = peer.kind
                log('  %s: build %7.2f s (%.3f x deflate)  install %7.2f s (%.3f x inflate; kit / it %.3f)  '
                    'peak installing %.1f MB  installer %d bytes (%d beside the raw deflate)'
                    % (k, med(k + ' build'), ratio(k + ' build', 'deflate'), med(k + ' install'),
                       ratio(k + ' install', 'inflate'), ratio('install', k + ' install'),
                       max(m[k + ' install'] for m in installs) / 2**20, med(k + ' size'), med(k + ' overhead size')))
    finally:
        host.close()
        if not opt.keep:
            shutil.rmtree(opt.work, ignore_errors=True)


if __name__ == '__main__':
    main()
