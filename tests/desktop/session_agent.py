"""A desktop session for a test, and a helper that runs inside it as the session's own user and
answers the test's requests on its standard input and output, one JSON object a line: GNOME Shell
and KWin answer their screenshot, window and input requests only to programs of the session's
user on the session's bus. `start_session` runs a compositor with a session bus of its own; the
test side starts the agent (`Agent`); the agent side (`serve`) calls a handler per request's "op"
with the request's other fields and sends back its result or its error. Copied into the test's
work folder with the agent scripts, so the user can read it."""

import json
import os
import shutil
import subprocess
import sys
import traceback


def start_session(procs, work, user, name, env, command, answers, client_env):
    """Runs the shell command (with {display}, the Wayland socket's name) as user with env, under
    a session bus of its own. Returns what a program in the session needs (client_env, the display
    and the bus) once the socket is there and the command `answers` (run with it) succeeds."""
    import desktop  # the test's side only: the agent's copy runs without it
    from desktop import check
    runtime = env["XDG_RUNTIME_DIR"]
    display = "wl-solvane-%d" % os.getpid()
    bus_file = os.path.join(runtime, name + ".bus")
    script = "echo \"$DBUS_SESSION_BUS_ADDRESS\" > %s.new && mv %s.new %s; %s" % (
        bus_file, bus_file, bus_file, command.format(display=display))
    log = open(os.path.join(work, name + ".log"), "w")
    procs.start(user.command(["dbus-run-session", "--", "sh", "-c", script], env), stdout=log,
                stderr=subprocess.STDOUT)
    check(desktop.wait_until(lambda: os.path.exists(bus_file) and os.path.exists(os.path.join(runtime, display)),
                             30, 0.1), "%s did not start (see %s.log)" % (name, name))
    with open(bus_file) as f:
        session = dict(client_env, WAYLAND_DISPLAY=display, DBUS_SESSION_BUS_ADDRESS=f.read().strip())
    ready = lambda: subprocess.run(user.command(answers, session), capture_output=True).returncode == 0
    check(desktop.wait_until(ready, 30, 0.25), "%s does not answer on its bus" % name)
    return session


class AgentError(Exception):
    pass


class Agent:
    """The agent script (beside this file) run as user with env; requests are answered in order."""

    def __init__(self, procs, work, user, script, env, log_name):
        folder = os.path.join(work, "agents")
        os.makedirs(folder, exist_ok=True)
        here = os.path.dirname(os.path.abspath(__file__))
        for name in ("session_agent.py", script):
            shutil.copy(os.path.join(here, name), folder)
        os.chmod(folder, 0o755)
        self.log = open(os.path.join(work, log_name), "w")
        command = user.command(["/usr/bin/python3", os.path.join(folder, script)], env)
        self.proc = procs.start(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=self.log, text=True,
                                bufsize=1)

    def call(self, op, **fields):
        self.proc.stdin.write(json.dumps(dict(fields, op=op)) + "\n")
        self.proc.stdin.flush()
        line = self.proc.stdout.readline()
        if not line:
            raise AgentError("the session's agent ended (see %s)" % self.log.name)
        reply = json.loads(line)
        if "error" in reply:
            raise AgentError("%s: %s" % (op, reply["error"]))
        return reply.get("result")


def serve(handlers):
    """The agent's loop: answers requests until its input closes."""
    for line in sys.stdin:
        request = json.loads(line)
        op = request.pop("op")
        try:
            reply = {"result": handlers[op](**request)}
        except Exception as e:  # the test sees the error; the agent stays for the next request
            traceback.print_exc()
            reply = {"error": "%s: %s" % (type(e).__name__, e)}
        sys.stdout.write(json.dumps(reply) + "\n")
        sys.stdout.flush()
    os._exit(0)
