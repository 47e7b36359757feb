"""Starts Orca with its debug log (the file named first) written line by
line, so that a round reads what Orca spoke as it speaks: Orca writes the log
through a buffer that keeps the last lines back until it fills. Further
arguments go to Orca."""
import builtins
import runpy
import sys

log = sys.argv[1]
buffered_open = builtins.open


def line_by_line(file, mode="r", buffering=-1, *args, **kwargs):
    if file == log and "w" in mode:
        buffering = 1
    return buffered_open(file, mode, buffering, *args, **kwargs)


builtins.open = line_by_line
sys.argv = ["orca", "--debug-file=" + log] + sys.argv[2:]
runpy.run_path("/usr/bin/orca", run_name="__main__")
