#!/usr/bin/env python3
"""Runs the tests of one CTest label under strace and fails when any of their processes or threads
connects or sends to an address that is not loopback: a DNS query to the machine's resolver counts
like any other packet. The tests' own verdicts are the suite's business; this check judges only
where their packets go.

Usage: loopback_only.py BUILD_DIR LABEL
"""
import ipaddress
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

CALLS = "connect,sendto,sendmsg,sendmmsg,execve,clone,clone3,fork,vfork"
LINE = re.compile(r"^(\d+)\s+(?:(\w+)\(|<\.\.\. (\w+) resumed>)(.*)$")
INET = re.compile(r'sa_family=AF_INET, sin_port=htons\((\d+)\), sin_addr=inet_addr\("([^"]+)"\)')
INET6 = re.compile(r'sa_family=AF_INET6, sin6_port=htons\((\d+)\).*?inet_pton\(AF_INET6, "([^"]+)"')
OTHER = re.compile(r"sa_family=(AF_PACKET|AF_IPX|AF_APPLETALK|AF_AX25|AF_X25|AF_DECnet)")
RESULT = re.compile(r"\)\s+=\s+(\d+)")


def is_loopback(address):
    ip = ipaddress.ip_address(address)
    if isinstance(ip, ipaddress.IPv6Address) and ip.ipv4_mapped:
        ip = ip.ipv4_mapped
    return ip.is_loopback


def status(pid):
    try:
        with open("/proc/%s/status" % pid) as f:
            return dict(line.rstrip("\n").split(":\t", 1) for line in f if ":\t" in line)
    except OSError:
        return {}


def reap_orphans(tracer):
    """Kills traced processes whose parent is no longer traced: helpers (Qt WebEngine's zygote and
    renderers) left behind by a test that has ended. Under ptrace one of them can stay blocked for
    good, holding the test's output pipe open, so CTest would wait for it for ever."""
    for pid in filter(str.isdigit, os.listdir("/proc")):
        s = status(pid)
        if s.get("TracerPid") != str(tracer) or s.get("PPid") == str(tracer):
            continue
        if status(s.get("PPid", "0")).get("TracerPid") != str(tracer):
            try:
                os.kill(int(pid), signal.SIGKILL)
            except OSError:
                pass


def destinations(line):
    """The network destinations a traced call names, as (family, address, port)."""
    for port, address in INET.findall(line):
        yield "IPv4", address, port
    for port, address in INET6.findall(line):
        yield "IPv6", address, port
    for family in OTHER.findall(line):
        yield family, "", ""


def main():
    build, label = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as tmp:
        # A CTest folder of its own that runs the build's tests, so that this run shares no logs with
        # the run it is part of.
        with open(os.path.join(tmp, "CTestTestfile.cmake"), "w") as f:
            f.write('subdirs("%s")\n' % build)
        trace = os.path.join(tmp, "trace")
        command = ["strace", "-f", "--seccomp-bpf", "-qq", "-e", "trace=" + CALLS, "-e", "signal=none",
                   "-s", "256", "-o", trace, "ctest", "-L", "^%s$" % label, "-j", "4", "--timeout", "600"]
        with open(os.path.join(tmp, "output"), "w+") as output:
            tracer = subprocess.Popen(command, cwd=tmp, stdout=output, stderr=subprocess.STDOUT)
            while tracer.poll() is None:
                reap_orphans(tracer.pid)
                time.sleep(0.2)
            output.seek(0)
            stdout = output.read()
        if not os.path.exists(trace) or "Test #" not in stdout:
            print(stdout)
            print("strace could not run the tests of label %s" % label)
            return 1
        program = {}  # process or thread id -> what it runs
        parent = {}
        found = []
        with open(trace, errors="replace") as f:
            for line in f:
                m = LINE.match(line)
                if not m:
                    continue
                pid, call, rest = m.group(1), m.group(2) or m.group(3), m.group(4)
                if call == "execve" and "= 0" in rest:
                    args = re.findall(r'"([^"]*)"', rest.split("], ")[0])
                    program[pid] = " ".join(args[1:4]) if len(args) > 1 else rest[:120]
                elif call in ("clone", "clone3", "fork", "vfork"):
                    r = RESULT.search(rest)
                    if r:
                        parent[r.group(1)] = pid
                else:
                    for family, address, port in destinations(rest):
                        if family in ("IPv4", "IPv6") and is_loopback(address):
                            continue
                        found.append((pid, call, family, address, port))

        def owner(pid):
            seen = set()
            while pid not in program and pid in parent and pid not in seen:
                seen.add(pid)
                pid = parent[pid]
            return program.get(pid, "process %s" % pid)

        tests = len(re.findall(r"Test +#\d+:", stdout))
        summary = re.search(r"^.*tests passed.*$", stdout, re.M)
        print("under strace: %s" % (summary.group(0) if summary else "no summary"))
        if found:
            for pid, call, family, address, port in found:
                print("%s to %s %s port %s by %s" % (call, family, address, port, owner(pid)))
            print("%d calls of the %d tests of label %s name a destination off the machine" %
                  (len(found), tests, label))
            return 1
        print("the %d tests of label %s connected and sent to loopback only" % (tests, label))
        return 0


if __name__ == "__main__":
    sys.exit(main())
