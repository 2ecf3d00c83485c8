#!/usr/bin/env python3
"""Serves the bare repositories of one directory over HTTPS on 127.0.0.1 through
git http-backend, behind basic authentication, for the git tests.

Writes the port it listens on to --port-file once it accepts connections. A
request under /hang/ is held unanswered until the server stops, so a client
can be made to wait for ever. The server stops when its standard input
closes (its test has ended) or after --lifetime seconds, whichever is first.
"""
import argparse
import base64
import http.server
import os
import ssl
import subprocess
import sys
import threading

stopping = threading.Event()


def parse_arguments():
    parser = argparse.ArgumentParser()
    parser.add_argument('--root', required=True)
    parser.add_argument('--cert', required=True)
    parser.add_argument('--key', required=True)
    parser.add_argument('--user', required=True)
    parser.add_argument('--password', required=True)
    parser.add_argument('--port-file', required=True)
    parser.add_argument('--backend', default='/usr/lib/git-core/git-http-backend')
    parser.add_argument('--lifetime', type=float, default=900)
    return parser.parse_args()


class GitHandler(http.server.BaseHTTPRequestHandler):
    settings = None

    def do_GET(self):
        self.serve()

    def do_POST(self):
        self.serve()

    def log_message(self, format, *args):
        sys.stderr.write('[git-https] ' + (format % args) + '\n')

    def serve(self):
        if self.path.startswith('/hang/'):
            stopping.wait()
            return
        if not self.authorised():
            self.send_response(401)
            self.send_header('WWW-Authenticate', 'Basic realm="git"')
            self.send_header('Content-Length', '0')
            self.end_headers()
            return
        self.run_backend(self.read_body())

    def authorised(self):
        header = self.headers.get('Authorization', '')
        if not header.startswith('Basic '):
            return False
        try:
            given = base64.b64decode(header[6:]).decode('utf-8')
        except ValueError:
            return False
        return given == self.settings.user + ':' + self.settings.password

    def read_body(self):
        if self.headers.get('Transfer-Encoding', '').lower() == 'chunked':
            return self.read_chunked()
        return self.rfile.read(int(self.headers.get('Content-Length') or 0))

    def read_chunked(self):
        body = b''
        while True:
            size = int(self.rfile.readline().split(b';')[0].strip(), 16)
            if size == 0:
                self.rfile.readline()
                return body
            body += self.rfile.read(size)
            self.rfile.readline()

    def run_backend(self, body):
        path, _, query = self.path.partition('?')
        env = dict(os.environ)
        env.update({
            'GIT_PROJECT_ROOT': self.settings.root,
            'GIT_HTTP_EXPORT_ALL': '1',
            'REMOTE_USER': self.settings.user,
            'REMOTE_ADDR': self.client_address[0],
            'REQUEST_METHOD': self.command,
            'PATH_INFO': path,
            'QUERY_STRING': query,
            'CONTENT_TYPE': self.headers.get('Content-Type', ''),
            'CONTENT_LENGTH': str(len(body)),
            'HTTP_CONTENT_ENCODING': self.headers.get('Content-Encoding', ''),
            'HTTP_GIT_PROTOCOL': self.headers.get('Git-Protocol', ''),
        })
        result = subprocess.run([self.settings.backend], input=body, env=env,
                                stdout=subprocess.PIPE, check=False)
        head, _, content = result.stdout.partition(b'\r\n\r\n')
        status = 200
        headers = []
        for line in head.decode('latin-1').split('\r\n'):
            name, _, value = line.partition(':')
            if name.lower() == 'status':
                status = int(value.strip().split()[0])
            elif name:
                headers.append((name, value.strip()))
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header('Content-Length', str(len(content)))
        self.end_headers()
        self.wfile.write(content)


def stop_when_input_closes(server):
    sys.stdin.read()
    stop(server)


def stop(server):
    stopping.set()
    server.shutdown()


def main():
    settings = parse_arguments()
    GitHandler.settings = settings
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), GitHandler)
    server.daemon_threads = True
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(settings.cert, settings.key)
    server.socket = context.wrap_socket(server.socket, server_side=True, do_handshake_on_connect=False)
    threading.Thread(target=stop_when_input_closes, args=(server,), daemon=True).start()
    timer = threading.Timer(settings.lifetime, stop, args=(server,))
    timer.daemon = True
    timer.start()
    with open(settings.port_file + '.part', 'w') as port_file:
        port_file.write(str(server.server_address[1]))
    os.replace(settings.port_file + '.part', settings.port_file)
    server.serve_forever()


if __name__ == '__main__':
    main()
