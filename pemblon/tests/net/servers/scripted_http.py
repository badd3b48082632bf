#!/usr/bin/python3
"""Scripted HTTP/1.1 server for the network client tests, on 127.0.0.1 only.

Every request is appended to the log file as "=== <method> <target>\r\n", its raw header
block and its (de-chunked) body, so that tests can see exactly what was sent. Routes:
  /status/<code>     reply <code> with a short body
  /echo...           200, the body is the raw request header block followed by its body
  /redirect          302 with "Location: /moved"; /redirect-lower with "location: /moved"
  /latin1            200, body "Caf\\xe9 ok" (ISO-8859-1), header "X-Name: Caf\\xe9"
  /empty             200 with an empty body
  /bytes/<n>         200, n bytes of the pattern (i * 7 + 3) & 0xFF
  /stall             headers announce 100 bytes, 10 are sent, then nothing for 20 s
  /close-mid         headers announce 1000 bytes, 10 are sent, then the connection closes
  /huge-length       headers announce 3 GiB, 10 bytes are sent, then the connection closes
  /multipart/<size>  a multipart/related body, sent chunked in pieces of <size> bytes
  /multipart-long-id a multipart/related body whose one part has a Content-ID of 300 characters
  /fault             500 with a SOAP fault envelope
  /cookie            200 with a Set-Cookie header
"""
import argparse
import socketserver
import threading
import time

LOCK = threading.Lock()
MULTIPART = (b"preamble\r\n--b0undary\r\nContent-ID: <root@x>\r\nContent-Type: text/xml\r\n\r\n"
             b"<a>root</a>\r\n--b0undary\r\nContent-Type: application/octet-stream\r\n"
             b"Content-ID: <att/1>\r\n\r\n" + bytes(range(256)) * 4 + b"\r\n--b0undary--\r\nepilogue")
LONG_ID = (b"--b0undary\r\nContent-ID: <" + b"x" * 300 + b">\r\nContent-Type: text/plain\r\n\r\nlost\r\n"
           b"--b0undary--\r\n")
FAULT = (b'<?xml version="1.0"?><soap:Envelope xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/">'
         b"<soap:Body><soap:Fault><faultcode>soap:Server</faultcode><faultstring>Broken</faultstring>"
         b"<detail>Disk full</detail></soap:Fault></soap:Body></soap:Envelope>")


def pattern(n):
    block = bytes(((i * 7 + 3) & 0xFF) for i in range(256 * 7))
    out = bytearray()
    while len(out) < n:
        out += block
    return bytes(out[:n])


class Handler(socketserver.StreamRequestHandler):
    def reply(self, status, body=b"", headers=(), reason="Scripted", head_only=False):
        lines = ["HTTP/1.1 %d %s" % (status, reason), "Content-Length: %d" % len(body)]
        lines += list(headers)
        self.wfile.write(("\r\n".join(lines) + "\r\n\r\n").encode("latin-1"))
        if not head_only:
            self.wfile.write(body)
        self.wfile.flush()

    def read_body(self, headers):
        if "chunked" in headers.get("transfer-encoding", "").lower():
            body = b""
            while True:
                size = int(self.rfile.readline().split(b";")[0].strip() or b"0", 16)
                if size == 0:
                    while self.rfile.readline() not in (b"\r\n", b"\n", b""):
                        pass
                    return body
                body += self.rfile.read(size)
                self.rfile.readline()
        if "content-length" in headers:
            return self.rfile.read(int(headers["content-length"]))
        return b""

    def handle(self):
        while True:
            line = self.rfile.readline(65537)
            if not line:
                return
            if line.strip() == b"":
                continue
            head = [line]
            while True:
                more = self.rfile.readline(65537)
                if not more:
                    return
                head.append(more)
                if more.strip() == b"":
                    break
            method, target = line.decode("latin-1").split()[:2]
            headers = {}
            for raw in head[1:-1]:
                name, _, value = raw.decode("latin-1").partition(":")
                headers[name.strip().lower()] = value.strip()
            if headers.get("expect", "").lower() == "100-continue":
                self.wfile.write(b"HTTP/1.1 100 Continue\r\n\r\n")
                self.wfile.flush()
            body = self.read_body(headers)
            raw_head = b"".join(head)
            with LOCK, open(self.server.log, "ab") as log:
                log.write(b"=== " + method.encode() + b" " + target.encode() + b"\r\n" + raw_head + body + b"\r\n")
            if not self.respond(method, target, raw_head, body):
                return

    def respond(self, method, target, raw_head, body):
        head_only = method == "HEAD"
        if target.startswith("/status/"):
            code = int(target.split("/")[2])
            self.reply(code, b"status %d" % code, head_only=head_only)
        elif target.startswith("/echo"):
            self.reply(200, raw_head + body, ["Content-Type: application/octet-stream"], head_only=head_only)
        elif target == "/redirect":
            self.reply(302, b"moved", ["Location: /moved"], head_only=head_only)
        elif target == "/redirect-lower":
            self.reply(302, b"moved", ["location: /moved"], head_only=head_only)
        elif target == "/latin1":
            self.reply(200, b"Caf\xe9 ok", ["X-Name: Caf\xe9"], head_only=head_only)
        elif target == "/empty":
            self.reply(200, b"", head_only=head_only)
        elif target.startswith("/bytes/"):
            self.reply(200, pattern(int(target.split("/")[2])), head_only=head_only)
        elif target == "/stall":
            self.wfile.write(b"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789")
            self.wfile.flush()
            deadline = time.time() + 20
            while time.time() < deadline and not self.server.stopping:
                time.sleep(0.05)
            return False
        elif target == "/close-mid":
            self.wfile.write(b"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n0123456789")
            self.wfile.flush()
            return False
        elif target == "/huge-length":
            self.wfile.write(b"HTTP/1.1 200 OK\r\nContent-Length: 3221225472\r\n\r\n0123456789")
            self.wfile.flush()
            return False
        elif target == "/multipart-long-id":
            self.reply(200, LONG_ID, ["Content-Type: multipart/related; boundary=b0undary"], head_only=head_only)
        elif target.startswith("/multipart/"):
            size = max(1, int(target.split("/")[2]))
            self.wfile.write(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n"
                             b"Content-Type: multipart/related; boundary=b0undary\r\n\r\n")
            for i in range(0, len(MULTIPART), size):
                piece = MULTIPART[i:i + size]
                self.wfile.write(b"%x\r\n" % len(piece) + piece + b"\r\n")
                self.wfile.flush()
            self.wfile.write(b"0\r\n\r\n")
        elif target == "/fault":
            self.reply(500, FAULT, ["Content-Type: text/xml"], reason="Internal Server Error", head_only=head_only)
        elif target == "/cookie":
            self.reply(200, b"cookie", ["Set-Cookie: flavour=oat; Path=/"], head_only=head_only)
        else:
            self.reply(404, b"not found", head_only=head_only)
        return True


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    stopping = False


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--tls-cert")
    parser.add_argument("--tls-key")
    args = parser.parse_args()
    server = Server(("127.0.0.1", args.port), Handler)
    server.log = args.log
    if args.tls_cert:
        import ssl
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.tls_cert, args.tls_key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    try:
        server.serve_forever(poll_interval=0.05)
    finally:
        server.stopping = True


if __name__ == "__main__":
    main()
