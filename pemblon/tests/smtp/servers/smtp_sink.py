"""A real mail server for the mail client tests: aiosmtpd on 127.0.0.1, on a port of the
system's choosing. Each mail it accepts is parsed with the email package and laid out in a folder
<out>/msg<N>: envelope (sender, then one recipient per line), raw.eml (the data as received,
dot-stuffing removed), headers ("Name: value" per line), body (the decoded text part),
att<i>.bin (each decoded attachment), att<i>.meta (its type, file name and description, one per
line), defects (what the parser found wrong, one per line) and readback/ (the mail as Python's
email package reads it with its default policy, see read_back). The folder appears whole. The port
is written to <out>/port once the server listens. SIGTERM stops it.

Usage: smtp_sink.py <out folder>
"""

import asyncio
import email
import email.policy
import os
import signal
import socket
import sys

from aiosmtpd.smtp import SMTP

OUT = sys.argv[1]


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def utf8(text):
    return text.encode("utf-8", "surrogateescape")


def read_back(raw, folder):
    """What a mail program shows of the mail: Python's email package with its default policy
    decodes encoded words, RFC 2231 parameters and the body's charset. One UTF-8 file per item;
    lists hold one entry per line."""
    os.makedirs(folder)
    msg = email.message_from_bytes(raw, policy=email.policy.default)

    def names(header):
        value = msg[header]
        return [a.display_name for a in value.addresses] if value is not None else []

    write(os.path.join(folder, "subject"), utf8(str(msg["subject"] or "")))
    write(os.path.join(folder, "from"), utf8("\n".join(names("from"))))
    write(os.path.join(folder, "reply-to"), utf8("\n".join(names("reply-to"))))
    write(os.path.join(folder, "to"), utf8("\n".join(names("to"))))
    write(os.path.join(folder, "cc"), utf8("\n".join(names("cc"))))
    text = msg.get_body(preferencelist=("plain", "html"))
    write(os.path.join(folder, "body"), utf8(text.get_content() if text is not None else ""))
    write(os.path.join(folder, "charset"), utf8(text.get_content_charset() or "" if text is not None else ""))
    for i, part in enumerate(msg.iter_attachments()):
        write(os.path.join(folder, "att%d.name" % i), utf8(part.get_filename() or ""))
        write(os.path.join(folder, "att%d.description" % i), utf8(str(part.get("content-description", ""))))
        write(os.path.join(folder, "att%d.bin" % i), part.get_content())
    write(os.path.join(folder, "parts"),
          utf8("".join(part.get_content_type() + "\n" for part in msg.walk() if not part.is_multipart())))
    write(os.path.join(folder, "defects"),
          utf8("".join(repr(d) + "\n" for part in msg.walk() for d in part.defects)))


class Sink:
    def __init__(self):
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        folder = os.path.join(OUT, "msg%d" % self.count)
        self.count += 1
        tmp = folder + ".tmp"
        os.makedirs(tmp)
        raw = envelope.original_content or envelope.content
        write(os.path.join(tmp, "envelope"),
              ("\n".join([envelope.mail_from] + list(envelope.rcpt_tos)) + "\n").encode("latin-1"))
        write(os.path.join(tmp, "raw.eml"), raw)
        msg = email.message_from_bytes(raw, policy=email.policy.compat32)
        write(os.path.join(tmp, "headers"),
              "".join("%s: %s\n" % (k, v) for k, v in msg.items()).encode("utf-8", "surrogateescape"))
        defects = [repr(d) for d in msg.defects]
        if msg.is_multipart():
            parts = msg.get_payload()
            text = parts[0]
            for i, part in enumerate(parts[1:]):
                defects += [repr(d) for d in part.defects]
                write(os.path.join(tmp, "att%d.bin" % i), part.get_payload(decode=True) or b"")
                meta = [part.get_content_type(), part.get_filename() or "",
                        part.get("Content-Description", "")]
                write(os.path.join(tmp, "att%d.meta" % i), ("\n".join(meta) + "\n").encode("utf-8"))
        else:
            text = msg
        defects += [repr(d) for d in text.defects]
        write(os.path.join(tmp, "body"), text.get_payload(decode=True) or b"")
        write(os.path.join(tmp, "bodytype"), (text.get_content_type() + "\n").encode())
        write(os.path.join(tmp, "defects"), "".join(d + "\n" for d in defects).encode())
        read_back(raw, os.path.join(tmp, "readback"))
        os.rename(tmp, folder)
        return "250 Message accepted for delivery"


def main():
    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind(("127.0.0.1", 0))
    handler = Sink()
    server = loop.run_until_complete(
        loop.create_server(lambda: SMTP(handler, hostname="sink.test"), sock=sock))
    loop.add_signal_handler(signal.SIGTERM, loop.stop)
    write(os.path.join(OUT, "port.tmp"), str(sock.getsockname()[1]).encode())
    os.rename(os.path.join(OUT, "port.tmp"), os.path.join(OUT, "port"))
    try:
        loop.run_forever()
    finally:
        server.close()
        loop.close()


if __name__ == "__main__":
    main()
