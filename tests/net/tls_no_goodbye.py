"""A TLS server that answers every request with FILE and then closes the connection without a TLS
close_notify, as many servers do. Usage: tls_no_goodbye.py CERT KEY PORT FILE"""
import os
import socket
import ssl
import sys

cert, key, port, reply_file = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(cert, key)
listener = socket.create_server(("127.0.0.1", port))
while True:
    plain, _ = listener.accept()
    try:
        tls = context.wrap_socket(plain, server_side=True)
        request = b""
        while b"\r\n\r\n" not in request:
            piece = tls.recv(4096)
            if not piece:
                break
            request += piece
        with open(reply_file, "rb") as reply:
            tls.sendall(reply.read())
        # Closing the socket under the TLS layer sends no close_notify.
        os.close(tls.detach())
    except (OSError, ssl.SSLError):
        plain.close()
