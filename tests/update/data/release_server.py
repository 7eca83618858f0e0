#!/usr/bin/env python3
"""A release server and a proxy for the update tests, on 127.0.0.1.

  release_server.py serve ROOT PORT_FILE [CERT KEY]
      Serves the files under ROOT (over TLS with CERT and KEY), plus:
        /truncated  announces 40000 bytes and sends 30000, then closes
        /stall      announces 30000 bytes, sends 100 and then nothing
  release_server.py proxy LOG_FILE PORT_FILE USER PASSWORD
      Answers every request itself with a version text after checking the
      Proxy-Authorization header; each request line is appended to LOG_FILE
      with "auth ok" or "auth missing/wrong".

The chosen port is written to PORT_FILE once the server listens.
"""
import base64
import functools
import http.server
import os
import ssl
import sys
import time


class ReleaseHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        if self.path == "/truncated":
            self.send_response(200)
            self.send_header("Content-Length", "40000")
            self.end_headers()
            self.wfile.write(b"t" * 30000)
            self.wfile.flush()
            self.close_connection = True
            return
        if self.path == "/stall":
            self.send_response(200)
            self.send_header("Content-Length", "30000")
            self.end_headers()
            self.wfile.write(b"s" * 100)
            self.wfile.flush()
            time.sleep(30)
            return
        super().do_GET()


class ProxyHandler(http.server.BaseHTTPRequestHandler):
    expected = ""
    log_file = ""

    def log_message(self, *args):
        pass

    def do_GET(self):
        given = self.headers.get("Proxy-Authorization", "")
        ok = given == self.expected
        with open(self.log_file, "a") as log:
            log.write("%s %s\n" % (self.requestline, "auth ok" if ok else "auth missing/wrong"))
        if not ok:
            self.send_response(407)
            self.send_header("Proxy-Authenticate", 'Basic realm="test"')
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        body = b"9.9.9\r\nhttp://127.0.0.1/pagorin-@@@.tar.gz\r\n"
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


def listen(handler, port_file, context=None):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    if context is not None:
        server.socket = context.wrap_socket(server.socket, server_side=True)
    with open(port_file + ".tmp", "w") as out:
        out.write(str(server.server_address[1]))
    os.rename(port_file + ".tmp", port_file)
    server.serve_forever()


def main(args):
    if args[0] == "serve":
        handler = functools.partial(ReleaseHandler, directory=args[1])
        context = None
        if len(args) > 3:
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(args[3], args[4])
        listen(handler, args[2], context)
    else:
        credentials = base64.b64encode(("%s:%s" % (args[3], args[4])).encode()).decode()
        ProxyHandler.expected = "Basic " + credentials
        ProxyHandler.log_file = args[1]
        listen(ProxyHandler, args[2])


if __name__ == "__main__":
    main(sys.argv[1:])
