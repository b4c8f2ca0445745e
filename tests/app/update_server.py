#!/usr/bin/env python3
"""A web server for the update check's end-to-end tests, reached by the program as its proxy.

update_server.py <port> <folder> <lifetime seconds>

Each request is answered with the raw HTTP response in <folder>/reply and recorded, request
line and headers as received, at the end of <folder>/requests.log. The server stops when
<folder>/stop appears or after <lifetime> seconds, whichever comes first.
"""
import os
import socket
import sys
import time


def serve(port, folder, lifetime):
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(8)
    listener.settimeout(0.5)
    end = time.time() + lifetime
    while time.time() < end and not os.path.exists(os.path.join(folder, "stop")):
        try:
            connection, _ = listener.accept()
        except socket.timeout:
            continue
        with connection:
            connection.settimeout(5)
            request = b""
            try:
                while b"\r\n\r\n" not in request and len(request) < 65536:
                    chunk = connection.recv(4096)
                    if not chunk:
                        break
                    request += chunk
            except socket.timeout:
                pass
            head = request.split(b"\r\n\r\n", 1)[0]
            with open(os.path.join(folder, "requests.log"), "ab") as log:
                log.write(head + b"\r\n\r\n")
            try:
                with open(os.path.join(folder, "reply"), "rb") as reply:
                    connection.sendall(reply.read())
            except OSError:
                pass
    listener.close()


if __name__ == "__main__":
    serve(int(sys.argv[1]), sys.argv[2], float(sys.argv[3]))
