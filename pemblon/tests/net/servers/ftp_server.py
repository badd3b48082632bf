#!/usr/bin/python3
"""pyftpdlib on 127.0.0.1 for the FTP client tests. One user with full rights on the root
folder; every command received is appended to the log file, one line each. The command
"REPLYnnn" is answered with the reply code nnn."""
import argparse
import logging

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--root", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--user", default="tester")
    parser.add_argument("--password", default="secret")
    args = parser.parse_args()
    logging.basicConfig(level=logging.WARNING)

    class LoggingHandler(FTPHandler):
        def pre_process_command(self, line, cmd, arg):
            with open(args.log, "a", encoding="utf-8") as log:
                log.write(line + "\n")
            # "REPLYnnn" is answered with the reply code nnn, for tests of how codes are judged.
            if len(cmd) == 8 and cmd.startswith("REPLY") and cmd[5:].isdigit():
                self.respond("%s Scripted reply." % cmd[5:])
                return None
            return super().pre_process_command(line, cmd, arg)

    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")
    LoggingHandler.authorizer = authorizer
    LoggingHandler.passive_ports = None
    server = FTPServer(("127.0.0.1", args.port), LoggingHandler)
    server.serve_forever(timeout=0.05)


if __name__ == "__main__":
    main()
