#!/usr/bin/python3
"""Trelba stopped by a terminating signal at random moments of a run: afterwards the
reports and the table are all the earlier files or all the new ones, never a mix, and no
temporary file is left. Usage: signals_at_random_times.py TRELBA [SECONDS] [SEED]"""
import os
import random
import signal
import subprocess
import sys
import tempfile
import time

SIGNALS = [signal.SIGINT, signal.SIGTERM, signal.SIGHUP, signal.SIGQUIT, signal.SIGUSR1,
           signal.SIGALRM, signal.SIGPIPE]
OUTPUTS = ["in.fa.freq", "in.fa.iik", "in.fa.ok", "t.tsv"]


def outputs(folder):
    texts = []
    for name in OUTPUTS:
        with open(os.path.join(folder, name), "rb") as f:
            texts.append(f.read())
    return texts


def place_earlier(folder):
    for name in OUTPUTS:
        with open(os.path.join(folder, name), "wb") as f:
            f.write(b"earlier " + name.encode() + b"\n")


def main():
    trelba = os.path.abspath(sys.argv[1])
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 60
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 20261209)
    command = [trelba, "-j", "2", "-T", "t.tsv", "in.fa"]
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "in.fa"), "w") as f:
            for i in range(20000):
                f.write(f">g{i}\n" + "".join(rng.choices("ACGT", k=900)) + "\n")
        started = time.monotonic()
        subprocess.run(command, cwd=folder, check=True, capture_output=True)
        length = time.monotonic() - started
        new = outputs(folder)
        place_earlier(folder)
        earlier = outputs(folder)
        end = time.monotonic() + seconds
        runs = {"earlier": 0, "new": 0}
        while time.monotonic() < end:
            sent = rng.choice(SIGNALS)
            process = subprocess.Popen(command, cwd=folder, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            time.sleep(rng.uniform(0, length * 1.2))
            process.send_signal(sent)
            status = process.wait()
            after = outputs(folder)
            if status not in (0, -sent):
                sys.exit(f"{sent.name}: status {status}")
            if after not in (earlier, new):
                kinds = ["new" if a == n else "earlier" if a == e else "other"
                         for a, n, e in zip(after, new, earlier)]
                sys.exit(f"{sent.name}: the outputs are a mix: "
                         + ", ".join(f"{o} {k}" for o, k in zip(OUTPUTS, kinds)))
            left = [n for n in os.listdir(folder) if n.endswith(".tmp")]
            if left:
                sys.exit(f"{sent.name}: temporary files left: {left}")
            kind = "new" if after == new else "earlier"
            runs[kind] += 1
            if kind == "new":
                place_earlier(folder)
    print(f"signals at random times: {runs['earlier']} runs stopped with the earlier files, "
          f"{runs['new']} ended with the new ones; no mix, no temporary file")


if __name__ == "__main__":
    main()
