#!/usr/bin/python3
"""Reads an echoed multipart/related SOAP request (its head and body, from the file given) the way
a mail or SOAP reader would: Python's email package finds the start part and decodes it by the
charset its Content-Type names, then the XML parser reads it. Prints the text of the root element
as UTF-8, and the charset the part was labelled with on the first line.

With "tree" after the file: prints the whole element tree as ElementTree writes it back, read once by
the part's label and once from its bytes alone (as a reader that trusts the XML declaration does),
one line each; "unreadable: <reason>" for a reading that fails."""
import email
import email.policy
import sys
import xml.etree.ElementTree as ElementTree


def main():
    raw = open(sys.argv[1], "rb").read()
    head, _, body = raw.partition(b"\r\n\r\n")
    content_type = [line for line in head.split(b"\r\n") if line.lower().startswith(b"content-type:")][0]
    message = email.message_from_bytes(content_type + b"\r\n\r\n" + body, policy=email.policy.compat32)
    start = message.get_param("start")
    for part in message.walk():
        if part.get("Content-ID") == start:
            charset = part.get_content_charset()
            payload = part.get_payload(decode=True)
            if len(sys.argv) > 2 and sys.argv[2] == "tree":
                lines = []
                for source in (lambda: payload.decode(charset), lambda: payload):
                    try:
                        lines.append(ElementTree.tostring(ElementTree.fromstring(source()), encoding="unicode"))
                    except (ElementTree.ParseError, UnicodeError) as error:
                        lines.append("unreadable: %s" % error)
                sys.stdout.buffer.write("\n".join(lines).encode("utf-8"))
                return 0
            text = payload.decode(charset)
            root = ElementTree.fromstring(text)
            sys.stdout.buffer.write((charset + "\n" + (root.text or "")).encode("utf-8"))
            return 0
    return 1


if __name__ == "__main__":
    sys.exit(main())
