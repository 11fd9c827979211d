#!/usr/bin/env python3
"""Figures of pelmar-print --watch on a local disk.

  bench/watch_folder.py latency [BUILD_DIR] [FILES]
      the time from a file's rename into the watched folder to its first byte at the printer
      (a FIFO behind a file: port, read here), default settle and poll; 20 files.
  bench/watch_folder.py early-claims [BUILD_DIR] [TRIES]
      writers that are slow on purpose (a line appended every 300 ms for 5 s; a file that has
      its full size before its data, filled at the same pace), 10 at a time, default settle and
      poll: how often a file was claimed (gone from the folder) before its writer finished, and
      whether every file printed whole, once; 50 tries.
Also checks that the service reports readiness to $NOTIFY_SOCKET and ends with status 0 on
SIGTERM. Not part of ctest: the early claims take about a minute.
"""
import os
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time

LINE = b"ITEM,1\r\n"


def make_shop(home, port):
    os.makedirs(home)
    with open(os.path.join(home, "PRICE.FMT"), "wb") as f:
        f.write(b"LabelWidth=60\r\nLabelHeight=40\r\nLabelGap=2\r\nPrintSpeed=4\r\n"
                b"PrintDarken=8\r\nV_Text=20,20,48,0,0,0,Arial,1\r\n")
    with open(os.path.join(home, "Pelmar.INI"), "wb") as f:
        f.write(b"[Files]\r\nLabelCount=1\r\nLabelName01=PRICE.FMT\r\n[Printer]\r\n"
                b"PrinterName=TSC Out\r\n[Ports]\r\nTSC Out=file:" + port.encode() +
                b"\r\n[Fields]\r\nFieldCount=2\r\nField01=NAME,1,10,0,0\r\n"
                b"Field02=QTY,1,10,0,0\r\n")


class Service:
    """pelmar-print --watch on a folder, started and stopped; its readiness awaited."""

    def __init__(self, build, home, folder):
        self.ready = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
        name = "\0pelmar-watch-bench-%d" % os.getpid()
        self.ready.bind(name)
        env = dict(os.environ, PELMAR_HOME=home, QT_QPA_PLATFORM="offscreen",
                   CUPS_SERVER="127.0.0.1:9", NOTIFY_SOCKET="@" + name[1:])
        self.log = open(os.path.join(home, "watch.log"), "wb")
        self.process = subprocess.Popen(
            [os.path.join(build, "bin", "pelmar-print"), "--watch", folder], env=env,
            stderr=self.log)
        self.ready.settimeout(30)
        message = self.ready.recv(64)
        if message != b"READY=1":
            sys.exit("no READY=1 from the service: %r" % message)

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        status = self.process.wait(60)
        if status != 0:
            sys.exit("the service ended with status %d after SIGTERM" % status)


def done_count(folder):
    return len(os.listdir(os.path.join(folder, "done")))


def latency(build, work, files):
    fifo = os.path.join(work, "printer.fifo")
    os.mkfifo(fifo)
    home, folder = os.path.join(work, "home"), os.path.join(work, "in")
    make_shop(home, fifo)
    os.makedirs(folder)
    first_bytes = []

    def printer():
        for _ in range(files):
            with open(fifo, "rb") as port:
                port.read(1)
                first_bytes.append(time.monotonic())
                port.read()

    reader = threading.Thread(target=printer, daemon=True)
    reader.start()
    service = Service(build, home, folder)
    figures = []
    for i in range(files):
        staged = os.path.join(folder, "f%02d.tmp" % i)
        with open(staged, "wb") as f:
            f.write(LINE)
        renamed = time.monotonic()
        os.rename(staged, os.path.join(folder, "f%02d.txt" % i))
        deadline = time.monotonic() + 10
        while len(first_bytes) <= i and time.monotonic() < deadline:
            time.sleep(0.001)
        if len(first_bytes) <= i:
            sys.exit("file %d: no byte at the printer within 10 s" % i)
        figures.append((first_bytes[i] - renamed) * 1000)
        while done_count(folder) <= i and time.monotonic() < deadline:
            time.sleep(0.01)
    service.stop()
    figures.sort()
    print("claim latency, rename to first byte at the printer, %d files: p50 %.1f ms, "
          "p90 %.1f ms, max %.1f ms" % (files, statistics.median(figures),
                                        figures[int(len(figures) * 0.9) - 1], figures[-1]))


def slow_writer(path, full_size_first, lines, early):
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
    if full_size_first:
        os.ftruncate(fd, len(LINE) * lines)
    for i in range(lines):
        os.pwrite(fd, LINE, i * len(LINE))
        time.sleep(0.3)
        if not os.path.exists(path):
            early.append(path)
    os.close(fd)


def early_claims(build, work, tries):
    home, folder = os.path.join(work, "home"), os.path.join(work, "in")
    out = os.path.join(work, "out.prn")
    make_shop(home, out)
    os.makedirs(folder)
    service = Service(build, home, folder)
    lines, early, started = 17, [], time.monotonic()
    for batch in range(0, tries, 10):
        writers = [threading.Thread(target=slow_writer,
                                    args=(os.path.join(folder, "w%02d.txt" % n), n % 2 == 1,
                                          lines, early))
                   for n in range(batch, min(batch + 10, tries))]
        for writer in writers:
            writer.start()
        for writer in writers:
            writer.join()
    deadline = time.monotonic() + 120
    while done_count(folder) < tries and time.monotonic() < deadline:
        time.sleep(0.1)
    service.stop()
    with open(out, "rb") as f:
        printed = f.read().count(b"PRINT ")
    print("early claims: %d of %d tries (%d appending, %d full size first); %d of %d files in "
          "done/; %d of %d labels printed; %.0f s" %
          (len(early), tries, (tries + 1) // 2, tries // 2, done_count(folder), tries, printed,
           tries * lines, time.monotonic() - started))
    return 0 if not early and printed == tries * lines else 1


def main():
    if len(sys.argv) < 2 or sys.argv[1] not in ("latency", "early-claims"):
        sys.exit(__doc__)
    build = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else "build")
    with tempfile.TemporaryDirectory() as work:
        if sys.argv[1] == "latency":
            latency(build, work, int(sys.argv[3]) if len(sys.argv) > 3 else 20)
            return 0
        return early_claims(build, work, int(sys.argv[3]) if len(sys.argv) > 3 else 50)


if __name__ == "__main__":
    sys.exit(main())
