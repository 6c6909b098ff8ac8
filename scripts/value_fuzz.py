#!/usr/bin/env python3
"""Whole runs on mutated values.

Takes the bundled design cases (pond, sump, soakaway, runoff only,
greenfield), cuts them down to one or two return periods and one to three
short storms, changes one to three values of the parameter file or of the
catchment descriptor file, and runs the built program with a time limit.
A run is a finding when it
  - ends on a signal, with a status other than 0 or 1, or past the time limit;
  - reports a sanitizer error on the console;
  - leaves "nan" or "inf" in any output file;
  - ends with status 0 but a negative number in a design or rainfall table.
Designs with fields too narrow for their values (asterisks) are listed as
notes.  Findings are copied to the findings folder with the console and a note.

  scripts/value_fuzz.py PROGRAM [--runs N] [--seed S] [--timeout SECONDS]
                                [--findings DIR] [--verbose]
The status is 1 when a run was a finding.
"""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CASES = ["pond_design", "sump_design", "soakaway_design", "runoff_only", "greenfield_only",
         "pond_greenfield", "rainfall_only"]

# Field kind of each keyword record: i integer, t triple, r2/r4 real with
# implied decimals (6 columns), r real (12 columns).
KINDS = {
    "ponds": "i", "grnff": "i", "hydromarea": "i", "diagf": "i", "rnf": "i", "season": "i",
    "cchgfac": "r2", "rom": "i", "wrapf": "i", "point": "i", "arff": "i", "ctchm": "i",
    "strmprf": "i", "topl": "i", "topw": "i", "tpod": "t", "sump": "i", "pumprate": "t",
    "soak": "i", "sideno": "i", "ffill": "r4", "infiltco": "r4", "rhmpt": "i",
    "lagoonratio": "i", "maxdepth": "r", "batter": "r", "area": "r",
}
INTS = ["0", "1", "2", "3", "-1", "5", "11", "100", "999", "-99999", "999999", "32767"]
BIG_INTS = ["2147483647", "-2147483648", "1000000000"]
REALS = ["0", "0.0", "-0.5", "1.0", "0.001", "1e-9", "1e-300", "0.99999", "1.0001", "7.5",
         "1e3", "1e9", "-1e9", "1e30", "1e300", "-1e300", "123456.789"]
DESCRIPTOR_KEYS = ["AREA", "SAAR", "SAAR4170", "C", "D1", "D2", "D3", "E", "F",
                   "C(1km)", "D1(1km)", "D2(1km)", "D3(1km)", "E(1km)", "F(1km)"]
DESCRIPTOR_VALUES = ["0", "-1", "0.0", "-0.001", "1", "1e-9", "1e9", "-1e9", "1e300", "50000",
                     "2147483647", "-2147483648", "5.0", "-5.0", "0.5"]
NUMBER = re.compile(r"(?<![\w.])-\d")
HALF_VOLUME = re.compile(r"^ \*{5} +\d+ +\d+ +\d+$")
NOT_A_NUMBER = re.compile(r"(?i)(?<![a-z])-?(nan|inf)(?![a-z])")


def field(kind, value):
    """The value in the columns of its kind, from column 17."""
    if kind == "t":
        return "".join(v.rjust(6)[:6] for v in value.split())
    width = 12 if kind == "r" else 6
    return value.rjust(width)[:width]


ORDER = ["ponds", "grnff", "hydromarea", "diagf", "rnf", "season", "calcrp", "caldur",
         "nrp", "rp", "ndur", "dur", "cchgfac", "rom", "nsubc", "surface", "wrapf", "soilFSR",
         "fixed", "point", "arff", "ctchm", "strmprf", "topl", "topw", "tpod", "sump",
         "pumprate", "soak", "sideno", "ffill", "infiltco", "rhmpt", "lagoonratio", "maxdepth",
         "batter", "area", "databaseid"]


def records(lines):
    """The parameter file by position (labels are free text): a list of
    [key, [line, ...]], lists with all their records."""
    out, n, values = [], 0, {}
    for key in ORDER:
        count = 1
        if key == "rp":
            count = values["nrp"]
        elif key == "dur":
            count = values["ndur"]
        elif key in ("surface", "area"):
            count = max(values["nsubc"], 1)
        elif key == "soilFSR":
            count = max(values["nsubc"], 1) if values["wrapf"] == 1 else 1
        recs = lines[n:n + count]
        n += count
        if count == 1 and key in ("nrp", "ndur", "nsubc", "wrapf"):
            values[key] = int(recs[0][16:22].replace(" ", "") or 0)
        out.append([key, recs])
    return out


def lines_of(recs):
    return [l for _, ls in recs for l in ls]


# Mostly the values; the mode flags now and then.
VALUES = ["cchgfac", "topl", "topw", "tpod", "pumprate", "sideno", "ffill", "infiltco", "rhmpt",
          "lagoonratio", "maxdepth", "batter", "area", "area", "area", "strmprf", "rom"]


def mutate_params(lines, rng, notes):
    recs = records(lines)
    for _ in range(rng.randint(1, 3)):
        key = rng.choice(VALUES) if rng.random() < 0.85 else rng.choice(list(KINDS))
        kind = KINDS[key]
        rec = next(r for r in recs if r[0] == key)
        i = rng.randrange(len(rec[1]))
        if kind == "t":
            value = " ".join(rng.choice(INTS + BIG_INTS[:1]) for _ in range(3))
        elif kind == "i":
            value = rng.choice(INTS + BIG_INTS)
        else:
            value = rng.choice(REALS)
        rec[1][i] = rec[1][i][:16].ljust(16) + field(kind, value)
        notes.append("%s = %s" % (key, value))
    return lines_of(recs)


def shorten(lines, rng):
    """One or two return periods and one to three short storms, listed; no
    diagnostic series."""
    recs = records(lines)
    rps = rng.sample(["2", "30", "100"], rng.randint(1, 2))
    durs = rng.sample(["5", "15", "30", "60", "120"], rng.randint(1, 3))
    for rec in recs:
        key, ls = rec
        head = ls[0][:16].ljust(16)
        if key in ("calcrp", "caldur", "diagf"):
            rec[1] = [head + field("i", "0")]
        elif key == "nrp":
            rec[1] = [head + field("i", str(len(rps)))]
        elif key == "ndur":
            rec[1] = [head + field("i", str(len(durs)))]
        elif key in ("rp", "dur"):
            vals = rps if key == "rp" else durs
            rec[1] = [(head if n == 0 else " " * 16) + field("i", v) for n, v in enumerate(vals)]
    return lines_of(recs)


def mutate_descriptor(text, rng, notes):
    lines = text.split("\n")
    for _ in range(rng.randint(1, 2)):
        key = rng.choice(DESCRIPTOR_KEYS)
        value = rng.choice(DESCRIPTOR_VALUES)
        for n, l in enumerate(lines):
            if l.split(",")[0] == key:
                lines[n] = key + "," + value
                notes.append("descriptor %s = %s" % (key, value))
    return "\n".join(lines)


def files_of(case_dir):
    """The parameter file and the descriptor file of a bundled case."""
    names = [n for n in os.listdir(case_dir) if os.path.isfile(os.path.join(case_dir, n))]
    params = [n for n in names if n not in ("PSnamel.nml", "case.md") and not n.endswith(".csv")]
    return params[0], [n for n in names if n.endswith(".csv")][0]


def check(run_dir, proc, timed_out):
    console = proc.stdout if proc else ""
    if timed_out:
        return "time limit"
    if proc.returncode not in (0, 1):
        return "exit status %d" % proc.returncode
    if "runtime error" in console or "Sanitizer" in console:
        return "sanitizer"
    if NOT_A_NUMBER.search(console):
        return "nan or inf on the console"
    for name in os.listdir(run_dir):
        if name.startswith(".") or name.endswith(".csv") or name in ("PSnamel.nml",):
            continue
        text = open(os.path.join(run_dir, name), errors="replace").read()
        if NOT_A_NUMBER.search(text):
            return "nan or inf in " + name
        if proc.returncode == 0 and name in ("results_full.txt", "rain_allyear.txt",
                                             "rain_summer.txt", "rain_winter.txt"):
            body = "\n".join(l for l in text.split("\n") if "(" not in l)
            if NUMBER.search(body):
                return "negative number in " + name
    return None


def note(run_dir, proc):
    """Asterisks of a value too wide for its field in a finished design: not
    an error of the program (absurd but finite values show so), but worth a
    look; the half volumes of the report's last list may overflow."""
    if proc is None or proc.returncode != 0:
        return None
    for name in ("results_full.txt", "report.txt"):
        path = os.path.join(run_dir, name)
        text = open(path, errors="replace").read() if os.path.exists(path) else ""
        if any("***" in l and not HALF_VOLUME.match(l) for l in text.split("\n")):
            return "asterisks in " + name
    return None


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("program")
    ap.add_argument("--runs", type=int, default=200)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--timeout", type=float, default=30.0)
    ap.add_argument("--verbose", action="store_true", help="one line per run")
    ap.add_argument("--findings", default=os.path.join(ROOT, "build-fuzz", "value_findings"))
    a = ap.parse_args()
    program = os.path.abspath(a.program)
    rng = random.Random(a.seed)
    found = 0
    for run in range(a.runs):
        case = rng.choice(CASES)
        case_dir = os.path.join(ROOT, "tests", "cases", case)
        pfile, dfile = files_of(case_dir)
        run_dir = tempfile.mkdtemp(prefix="sitedrain_values_")
        for name in os.listdir(case_dir):
            if os.path.isfile(os.path.join(case_dir, name)):
                shutil.copy(os.path.join(case_dir, name), run_dir)
        notes = [case]
        lines = open(os.path.join(case_dir, pfile)).read().rstrip("\n").split("\n")
        lines = shorten(lines, rng)
        if rng.random() < 0.8:
            lines = mutate_params(lines, rng, notes)
        open(os.path.join(run_dir, pfile), "w").write("\n".join(lines) + "\n")
        if rng.random() < 0.4:
            text = open(os.path.join(case_dir, dfile)).read()
            open(os.path.join(run_dir, dfile), "w").write(mutate_descriptor(text, rng, notes))
        proc, timed_out = None, False
        try:
            proc = subprocess.run([program], cwd=run_dir, stdin=subprocess.DEVNULL,
                                  stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                  timeout=a.timeout, text=True, errors="replace")
        except subprocess.TimeoutExpired:
            timed_out = True
        problem = check(run_dir, proc, timed_out)
        if problem:
            found += 1
            dest = os.path.join(a.findings, "run%05d" % run)
            shutil.rmtree(dest, ignore_errors=True)
            shutil.copytree(run_dir, dest)
            with open(os.path.join(dest, "finding.txt"), "w") as f:
                f.write(problem + "\n" + "\n".join(notes) + "\n")
                if proc:
                    f.write("--- console (tail)\n" + proc.stdout[-3000:])
            print("run %d: %s: %s" % (run, problem, "; ".join(notes)), flush=True)
        elif note(run_dir, proc):
            print("run %d: note: %s: %s" % (run, note(run_dir, proc), "; ".join(notes)),
                  flush=True)
        elif a.verbose and proc:
            last = [l for l in proc.stdout.split("\n") if l.strip()][-1:]
            print("run %d: status %d: %s | %s" % (run, proc.returncode, "; ".join(notes),
                                                  last[0][:100] if last else ""), flush=True)
        shutil.rmtree(run_dir, ignore_errors=True)
    print("%d runs, %d findings" % (a.runs, found))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
