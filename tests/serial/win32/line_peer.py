#!/usr/bin/env python3
"""The far end of a COM port for the Windows serial tests: a pseudo-terminal whose slave side
is linked where Wine looks for the port. It writes nothing of its own accord; it takes
requests, each on a line of its own:
  ?send TEXT  writes TEXT to the port
  ?line       answers with the line settings as this side sees them, e.g. "115200 8N1 raw"
  ?spoil      sets the line to 9600 baud, 7 data bits, even parity, 2 stop bits, flow
              control and cooked input, for a test to see the port's open undo it
  ?hangup     closes the pty as a pulled cable would, then offers a fresh one at the link
Usage: line_peer.py LINK"""
import os
import pty
import select
import sys
import termios
import tty

SPEEDS = {termios.B9600: 9600, termios.B115200: 115200}
SIZES = {termios.CS5: 5, termios.CS6: 6, termios.CS7: 7, termios.CS8: 8}


def describe(fd):
    iflag, oflag, cflag, lflag, _, ospeed, _ = termios.tcgetattr(fd)
    parity = "N"
    if cflag & termios.PARENB:
        parity = "O" if cflag & termios.PARODD else "E"
    stop = 2 if cflag & termios.CSTOPB else 1
    flags = [name for name, on in (("crtscts", cflag & termios.CRTSCTS),
                                   ("ixon", iflag & termios.IXON),
                                   ("ixoff", iflag & termios.IXOFF),
                                   ("icanon", lflag & termios.ICANON),
                                   ("echo", lflag & termios.ECHO),
                                   ("opost", oflag & termios.OPOST)) if on]
    size = SIZES[cflag & termios.CSIZE]
    return f"{SPEEDS.get(ospeed, ospeed)} {size}{parity}{stop} {' '.join(flags) or 'raw'}\n"


def spoil(fd):
    iflag, oflag, cflag, lflag, _, _, cc = termios.tcgetattr(fd)
    cflag = (cflag & ~termios.CSIZE) | termios.CS7 | termios.PARENB | termios.CSTOPB
    cflag |= termios.CRTSCTS
    attrs = [iflag | termios.IXON | termios.IXOFF, oflag | termios.OPOST, cflag,
             lflag | termios.ICANON | termios.ECHO, termios.B9600, termios.B9600, cc]
    termios.tcsetattr(fd, termios.TCSANOW, attrs)


def open_line(link):
    master, slave = pty.openpty()  # the slave stays open so the line outlives the port's opens
    tty.setraw(slave)
    if os.path.lexists(link):
        os.unlink(link)
    os.symlink(os.ttyname(slave), link)
    return master, slave


def serve(link):
    master, slave = open_line(link)
    pending = b""
    while True:
        select.select([master], [], [])
        pending += os.read(master, 4096)
        while b"\n" in pending:
            line, pending = pending.split(b"\n", 1)
            line = line.rstrip(b"\r")  # a cooked line turns the port's newlines into CR LF
            if line.startswith(b"?send "):
                os.write(master, line[6:])
            elif line == b"?line":
                os.write(master, describe(master).encode())
            elif line == b"?spoil":
                spoil(master)
            elif line == b"?hangup":
                os.close(master)
                os.close(slave)
                master, slave = open_line(link)
                pending = b""


if __name__ == "__main__":
    serve(sys.argv[1])
