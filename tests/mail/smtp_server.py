"""A real SMTP server for the mail tests: aiosmtpd on 127.0.0.1 at a port the system picks.

Prints the port on the first line of its output, saves every message it takes as
<folder>/message-<n>.eml with the envelope beside it as <folder>/envelope-<n>.json, and stops
when its standard input closes or after --lifetime seconds. With --close-at it hangs up without a
word at one step: "greeting" (before it), a command (EHLO, HELO, AUTH, MAIL, RCPT, DATA, QUIT) or
"message" (after the message's data, before the reply).
"""
import argparse
import asyncio
import json
import os
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class Handler:
    def __init__(self, folder, refuse_prefix, close_after_message):
        self.folder = folder
        self.refuse_prefix = refuse_prefix
        self.close_after_message = close_after_message
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if self.refuse_prefix and address.lower().startswith(self.refuse_prefix):
            return "550 5.1.1 <%s>: Recipient address rejected" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.close_after_message:
            server.transport.close()
            return "250 never heard"
        self.count += 1
        base = os.path.join(self.folder, "%s-%d" % ("message", self.count))
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content)
        with open(os.path.join(self.folder, "envelope-%d.json" % self.count), "w") as f:
            json.dump({"mail_from": envelope.mail_from, "rcpt_tos": envelope.rcpt_tos,
                       "helo": session.host_name, "authenticated": bool(session.authenticated)}, f)
        return "250 Message accepted for delivery"


class NoEhloSMTP(SMTP):
    """A server that knows only HELO, as old ones do."""

    async def smtp_EHLO(self, hostname):
        await self.push("500 5.5.1 Command unrecognized: EHLO")


def hanging_up(server_class, step):
    """The server class, changed to close the connection at the step instead of answering."""
    async def hang_up(self, arg):
        self.transport.close()

    class HangingUp(server_class):
        def connection_made(self, transport):
            super().connection_made(transport)
            if step == "greeting":
                transport.close()

    if step not in ("greeting", "message"):
        setattr(HangingUp, "smtp_" + step, hang_up)
    return HangingUp


def make_authenticator(user, password):
    def authenticator(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword) and auth_data.login == user.encode()
              and auth_data.password == password.encode())
        return AuthResult(success=ok, handled=False)
    return authenticator


async def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("--user")
    parser.add_argument("--password", default="")
    parser.add_argument("--refuse-prefix", default="")
    parser.add_argument("--no-ehlo", action="store_true")
    parser.add_argument("--close-at", default="")
    parser.add_argument("--lifetime", type=float, default=120.0)
    args = parser.parse_args()

    handler = Handler(args.folder, args.refuse_prefix.lower(), args.close_at == "message")
    server_class = NoEhloSMTP if args.no_ehlo else SMTP
    if args.close_at:
        server_class = hanging_up(server_class, args.close_at)
    options = dict(hostname="kestrava-test", auth_require_tls=False)
    if args.user:
        options["authenticator"] = make_authenticator(args.user, args.password)
    loop = asyncio.get_running_loop()
    server = await loop.create_server(lambda: server_class(handler, **options), "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)

    stdin_closed = loop.create_future()
    loop.add_reader(sys.stdin.fileno(), lambda: stdin_closed.done() or (
        sys.stdin.buffer.read1(4096) or stdin_closed.set_result(True)))
    try:
        await asyncio.wait_for(stdin_closed, args.lifetime)
    except asyncio.TimeoutError:
        pass
    server.close()
    await server.wait_closed()


if __name__ == "__main__":
    asyncio.run(main())
