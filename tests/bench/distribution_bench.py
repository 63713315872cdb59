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
command line names setup.exe, read from /proc while it runs. Under Wine it includes Wine's
own libraries: the baseline program's peak is printed beside it as that floor.

usage: distribution_bench.py --bin BUILD/bin [--big-mb 200] [--big-files 8] [--small 6000]
                             [--rounds 3] [--work /tmp/kst-bench] [--keep]
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

    def close(self):
        subprocess.run(['wineserver', '-k'], env=self.env, check=False)
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
        started meanwhile whose command line holds match). (The rusage of the finished process
        would not do: its maximum keeps the resident size of this Python before the exec.)"""
        before = set(os.listdir('/proc'))
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


class Product:
    """A generated product: its files, its script, its setup program and its build."""

    def __init__(self, host, name, files):
        self.host, self.name, self.files = host, name, files  # files: relative path -> (kind, size)
        self.src = 'C:\\KstBench\\Src\\' + name
        self.make = 'C:\\KstBench\\Make\\' + name
        self.out = 'C:\\KstBench\\Out\\' + name
        self.dest = 'C:\\KstBench\\Inst\\' + name
        self.raw = 'C:\\KstBench\\Raw\\' + name
        self.bytes = sum(size for _, size in files.values())

    def prepare(self, bin_dir):
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
        os.makedirs(host.unix(self.make), exist_ok=True)
        os.makedirs(host.unix(self.raw), exist_ok=True)
        with open(host.unix(self.make + '\\bench.kfm'), 'w', newline='\r\n') as f:
            f.write(text)
        with open(host.unix(self.raw + '\\list.txt'), 'w', newline='\r\n') as f:
            f.write(''.join(rel + '\n' for rel in sorted(self.files)))
        with open(host.unix(self.make + '\\BUILD.INF'), 'w', newline='\r\n') as f:
            f.write(self.out + '\n')
        host.wine([os.path.join(bin_dir, 'kestrune-script.exe'), 'make-setup', self.make + '\\bench.kfm',
                   '-o', self.make + '\\setup.exe', '--setup', os.path.join(bin_dir, 'setup.exe')])

    def clear(self, *paths):
        for p in paths:
            shutil.rmtree(self.host.unix(p), ignore_errors=True)

    def round(self, baseline):
        host = self.host
        self.clear(self.out, self.raw + '\\deflated')
        os.makedirs(host.unix(self.raw + '\\deflated'), exist_ok=True)
        t = {}
        t['deflate'], _ = host.timed([baseline, 'deflate', self.src, self.raw + '\\list.txt',
                                      self.raw + '\\deflated\\all.z'], match=b'bench_baseline')
        t['build'], mem_build = host.timed([self.make + '\\setup.exe', '-b'])
        if not os.path.exists(host.unix(self.out + '\\files.1')):
            sys.exit('the build of %s made no files.1' % self.name)
        self.clear(self.raw + '\\inflated', self.raw + '\\copied', self.dest)
        t['inflate'], floor = host.timed([baseline, 'inflate', self.raw + '\\deflated\\all.z', self.raw + '\\inflated'],
                                         match=b'bench_baseline')
        t['copy'], _ = host.timed([baseline, 'copy', self.src, self.raw + '\\list.txt', self.raw + '\\copied'],
                                match=b'bench_baseline')
        t['install'], mem_install = host.timed([self.out + '\\setup.exe'])
        for dest in (self.dest, self.raw + '\\inflated', self.raw + '\\copied'):
            self.check(dest)
        return t, max(mem_build, mem_install), floor

    def check(self, dest):
        for rel in self.files:
            a, b = self.host.unix(self.src + '\\' + rel), self.host.unix(dest + '\\' + rel)
            with open(a, 'rb') as fa, open(b, 'rb') as fb:
                if fa.read() != fb.read():
                    sys.exit('%s in %s differs from its source' % (rel, dest))


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument('--bin', required=True, help='the Windows build\'s bin folder')
    ap.add_argument('--big-mb', type=int, default=200)
    ap.add_argument('--big-files', type=int, default=8)
    ap.add_argument('--small', type=int, default=6000)
    ap.add_argument('--rounds', type=int, default=3)
    ap.add_argument('--work', default='/tmp/kst-bench')
    ap.add_argument('--keep', action='store_true', help='keep the work folder and its Wine prefix')
    opt = ap.parse_args()
    bin_dir = os.path.abspath(opt.bin)
    shutil.rmtree(opt.work, ignore_errors=True)
    os.makedirs(opt.work)
    host = Host(opt.work)
    try:
        # The kit folder the build takes the loader from.
        kit = host.unix('C:\\KstBench\\Kit')
        os.makedirs(kit)
        shutil.copy(os.path.join(bin_dir, 'KestruneLoadProgram.exe'), kit)
        open(os.path.join(kit, 'K32V35.TXT'), 'w').write('kit\n')
        host.wine(['reg', 'add', 'HKCU\\Software\\Borland\\Delphi\\3.0\\Library', '/v', 'SearchPath', '/d',
                   'C:\\KstBench\\Kit', '/f'])
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
        for p in products:
            log('preparing %s: %d files, %.1f MB' % (p.name, len(p.files), p.bytes / 1e6))
            p.prepare(bin_dir)
        for p in products:
            rows, peaks, floors = [], [], []
            for r in range(opt.rounds):
                t, peak, floor = p.round(baseline)
                rows.append(t)
                peaks.append(peak)
                floors.append(floor)
                log('  %s round %d: %s' % (p.name, r + 1, '  '.join('%s %.2f s' % kv for kv in t.items())))

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
            log('           %7s    plain copy     %7.2f s  install / copy     %.3f'
                % ('', med('copy'), ratio('install', 'copy')))
            log('  peak memory of the setup program %.1f MB (the baseline program under Wine: %.1f MB)'
                % (max(peaks) / 2**20, max(floors) / 2**20))
    finally:
        host.close()
        if not opt.keep:
            shutil.rmtree(opt.work, ignore_errors=True)


if __name__ == '__main__':
    main()
