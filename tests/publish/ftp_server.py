"""An FTP server for the publishing tests, on 127.0.0.1 and a free port.

Usage: ftp_server.py ROOT PORT_FILE [--tls CERT KEY] [--fault NAME]

Logs in the user "web" with the password "secret" into ROOT. Once it
listens it writes its port number into PORT_FILE. A fault makes the server
misbehave the way real servers do:
  refuse-store  every STOR is refused with 552
  abort-store   a STOR is aborted with 451 after some bytes arrived
  drop-data     the data connection is reset after some bytes arrived
  refuse-rename every RNTO is refused with 550
  stall         STOR gets no answer at all
  endless-list  LIST sends listing lines for ever
"""
import logging
import os
import socket
import struct
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import BufferedIteratorProducer, DTPHandler, FTPHandler, TLS_FTPHandler, \
    TLS_DTPHandler
from pyftpdlib.servers import FTPServer

BYTES_BEFORE_FAULT = 1000


def faulty_dtp(base, fault):
    class FaultyDTP(base):
        def handle_read(self):
            base.handle_read(self)
            if self.receive and self.tot_bytes_received > BYTES_BEFORE_FAULT and not self._closed:
                if fault == "abort-store":
                    self._resp = ("451 Requested action aborted: local error in processing.",
                                  logging.info)
                else:
                    self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                                           struct.pack("ii", 1, 0))
                    self._resp = ("426 Connection closed; transfer aborted.", logging.info)
                self.transfer_finished = False
                self.close()

        handle_read_event = handle_read

    return FaultyDTP


def faulty_handler(base, fault):
    class FaultyHandler(base):
        def ftp_STOR(self, file, mode="w"):
            if fault == "refuse-store":
                self.respond("552 Requested file action aborted. Exceeded storage allocation.")
                return
            if fault == "stall":
                return
            return base.ftp_STOR(self, file, mode)

        def ftp_LIST(self, path):
            if fault == "endless-list":
                def lines():
                    number = 0
                    while True:
                        number += 1
                        yield ("-rw-r--r--   1 web web 512 Mar 07 14:35 page%d.html\r\n"
                               % number).encode()
                self.push_dtp_data(BufferedIteratorProducer(lines()), isproducer=True, cmd="LIST")
                return path
            return base.ftp_LIST(self, path)

        def ftp_RNTO(self, path):
            if fault == "refuse-rename":
                self.rnfr = None
                self.respond("550 Rename refused.")
                return
            return base.ftp_RNTO(self, path)

    return FaultyHandler


def main():
    args = sys.argv[1:]
    root, port_file = args[0], args[1]
    tls = "--tls" in args
    fault = args[args.index("--fault") + 1] if "--fault" in args else ""
    authorizer = DummyAuthorizer()
    authorizer.add_user("web", "secret", root, perm="elradfmwMT")
    handler = faulty_handler(TLS_FTPHandler if tls else FTPHandler, fault)
    dtp = TLS_DTPHandler if tls else DTPHandler
    handler.dtp_handler = faulty_dtp(dtp, fault) if fault in ("abort-store", "drop-data") else dtp
    if tls:
        handler.certfile = args[args.index("--tls") + 1]
        handler.keyfile = args[args.index("--tls") + 2]
        handler.tls_control_required = True
        handler.tls_data_required = True
    handler.authorizer = authorizer
    handler.auth_failed_timeout = 0.1
    handler.permit_foreign_addresses = True
    logging.basicConfig(level=logging.ERROR)
    server = FTPServer(("127.0.0.1", 0), handler)
    with open(port_file + ".tmp", "w") as out:
        out.write(str(server.socket.getsockname()[1]))
    os.rename(port_file + ".tmp", port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
