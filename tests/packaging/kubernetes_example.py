"""The Kubernetes example (packaging/kubernetes/sentrel-cronjob.yaml), parsed
and then played locally.

First the manifest's structure: one ConfigMap holding urls.txt, one
PersistentVolumeClaim and one batch/v1 CronJob whose job is Indexed with one
pod per shard, wired to each other by name. Then the pod's shell script, taken
from the parsed manifest, runs once per JOB_COMPLETION_INDEX against pages on
a 127.0.0.1 server, with the volume and ConfigMap mount paths pointing at
folders of a scratch directory and sentrel-cli on PATH. Run as root where
mount namespaces work, each pod runs like the cluster's: as a user other than
root, with the root file system read-only and only the data folder and /tmp
writable.

Usage: kubernetes_example.py MANIFEST SENTREL_CLI SCRATCH_DIR
"""

import functools
import http.server
import os
import re
import shutil
import subprocess
import sys
import threading

import yaml

FAILURES = []


def check(condition, message):
    if not condition:
        FAILURES.append(message)
    return condition


def finish():
    for message in FAILURES:
        print("FAIL:", message)
    sys.exit(1 if FAILURES else 0)


def require(condition, message):
    # For what everything after it builds on.
    if not check(condition, message):
        finish()


def memory_bytes(quantity):
    units = {"": 1, "Ki": 2**10, "Mi": 2**20, "Gi": 2**30, "k": 10**3, "M": 10**6, "G": 10**9}
    match = re.fullmatch(r"(\d+)(Ki|Mi|Gi|k|M|G|)", str(quantity))
    require(match, f"memory quantity {quantity!r} not understood")
    return int(match.group(1)) * units[match.group(2)]


# --- the manifest ----------------------------------------------------------

def load_manifest(path):
    with open(path, encoding="utf-8") as f:
        docs = [d for d in yaml.safe_load_all(f) if d is not None]
    kinds = sorted(d.get("kind", "?") for d in docs)
    require(kinds == ["ConfigMap", "CronJob", "PersistentVolumeClaim"],
            f"documents of kinds {kinds}, expected one ConfigMap, CronJob and PersistentVolumeClaim")
    by_kind = {d["kind"]: d for d in docs}
    for kind, api in (("ConfigMap", "v1"), ("PersistentVolumeClaim", "v1"), ("CronJob", "batch/v1")):
        check(by_kind[kind].get("apiVersion") == api, f"{kind} has apiVersion {by_kind[kind].get('apiVersion')}, expected {api}")
    return by_kind["ConfigMap"], by_kind["PersistentVolumeClaim"], by_kind["CronJob"]


def inspect_cronjob(config_map, claim, cronjob):
    """Returns (shards, container, script, data mount path, urls.txt path)."""
    urls_txt = config_map.get("data", {}).get("urls.txt")
    require(isinstance(urls_txt, str), "the ConfigMap has no data key urls.txt")
    for line in urls_txt.splitlines():
        text = line.strip()
        check(not text or text.startswith("#") or not re.search(r"\s", text),
              f"urls.txt line is neither a URL, a comment nor blank: {line!r}")

    cron = cronjob["spec"]
    check(len(str(cron.get("schedule", "")).split()) == 5, f"schedule {cron.get('schedule')!r} is not a five-field cron time")
    check(cron.get("concurrencyPolicy") == "Forbid",
          "concurrencyPolicy must be Forbid: two runs at once would share each shard's store")
    job = cron["jobTemplate"]["spec"]
    require(job.get("completionMode") == "Indexed", "the job template is not an Indexed Job")
    completions, parallelism = job.get("completions"), job.get("parallelism")
    require(isinstance(completions, int) and completions >= 2,
            f"completions {completions!r}: expected a number of shards of at least 2")
    check(parallelism == completions, f"parallelism {parallelism} differs from completions {completions}")

    pod = job["template"]["spec"]
    check(pod.get("restartPolicy") == "Never", "restartPolicy must be Never (retries are new pods, one per index)")
    require(len(pod.get("containers", [])) == 1, "expected exactly one container")
    container = pod["containers"][0]
    check(bool(container.get("image")), "the container names no image")

    env = {e["name"]: e.get("value") for e in container.get("env", [])}
    check(env.get("SHARDS") == str(completions),
          f"SHARDS is {env.get('SHARDS')!r}, must equal completions ({completions})")

    command = list(container.get("command", [])) + list(container.get("args", []))
    require(len(command) == 3 and os.path.basename(command[0]) in ("bash", "sh") and command[1] == "-c",
            f"the command is not a shell running one script: {command[:2]}")
    script = command[2]
    check("JOB_COMPLETION_INDEX" in script, "the script does not use JOB_COMPLETION_INDEX")

    pod_security = pod.get("securityContext", {})
    security = container.get("securityContext", {})
    check(security.get("runAsNonRoot", pod_security.get("runAsNonRoot")) is True, "runAsNonRoot is not set")
    run_as = security.get("runAsUser", pod_security.get("runAsUser"))
    check(security.get("readOnlyRootFilesystem") is True, "readOnlyRootFilesystem is not set")
    check(security.get("allowPrivilegeEscalation") is False, "allowPrivilegeEscalation is not false")

    resources = container.get("resources", {})
    request = resources.get("requests", {}).get("memory")
    limit = resources.get("limits", {}).get("memory")
    if check(request and limit, "memory request and limit must both be set"):
        check(memory_bytes(request) <= memory_bytes(limit), f"memory request {request} above its limit {limit}")

    volumes = {v["name"]: v for v in pod.get("volumes", [])}
    mounts = {m["mountPath"]: volumes.get(m["name"]) for m in container.get("volumeMounts", [])}
    check(None not in mounts.values(), "a volumeMount names no volume of the pod")
    data = [p for p, v in mounts.items() if v and v.get("persistentVolumeClaim", {}).get("claimName") == claim["metadata"]["name"]]
    config = [p for p, v in mounts.items() if v and v.get("configMap", {}).get("name") == config_map["metadata"]["name"]]
    require(len(data) == 1, "the PersistentVolumeClaim is not mounted exactly once")
    require(len(config) == 1, "the ConfigMap is not mounted exactly once")
    items = mounts[config[0]]["configMap"].get("items")
    check(not items or any(i.get("key") == "urls.txt" and i.get("path") == "urls.txt" for i in items),
          "urls.txt is not among the ConfigMap volume's files")
    urls_path = config[0].rstrip("/") + "/urls.txt"
    require(urls_path in script, f"the script does not read {urls_path}")
    require(data[0] in script, f"the script does not use the volume at {data[0]}")
    return completions, env, script, data[0].rstrip("/"), urls_path, run_as


def inspect_dockerfile(path, run_as):
    """The image beside the manifest: built from the package, run by the
    numeric user the pods ask for (a named one cannot be checked against
    runAsNonRoot, and another number would own nothing on the volume)."""
    with open(path, encoding="utf-8") as f:
        lines = [l.strip() for l in f.read().replace("\\\n", " ").splitlines() if l.strip() and not l.startswith("#")]
    check(any(re.fullmatch(r"FROM debian:12(-slim)?", l) for l in lines), "the image is not built FROM debian:12-slim")
    check(any(l.startswith("COPY sentrel_*.deb") for l in lines), "the image does not COPY sentrel_*.deb")
    check(any(l.startswith("RUN") and re.search(r"apt-get install .*\./sentrel_\*\.deb", l) for l in lines),
          "the image does not apt-get install ./sentrel_*.deb")
    users = [l.split()[1] for l in lines if l.startswith("USER ")]
    if check(len(users) == 1, f"the image sets USER {len(users)} times, expected once"):
        uid = users[0].split(":")[0]
        check(uid.isdigit() and uid != "0", f"the image's USER {users[0]} is not a numeric user other than root")
        check(run_as is None or str(run_as) == uid, f"the pods run as {run_as}, the image as {uid}")


# --- the local run ---------------------------------------------------------

class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def relocate(script, path, replacement):
    # A mount path as a whole path component, not inside a longer name.
    pattern = r"(?<![\w./-])" + re.escape(path) + r"(?![\w.-])"
    changed, count = re.subn(pattern, lambda _: replacement, script)
    require(count > 0, f"{path} not found in the script")
    return changed


# Inside a private mount namespace: the data folder stays writable (a bind
# mount of its own), everything else of the root file system becomes
# read-only, /tmp is a fresh tmpfs (the pod's emptyDir), and the pod's script
# runs as nobody without the means to gain rights.
SANDBOX = (
    'data=$1; shift; '
    'mount --bind "$data" "$data" && mount -o remount,bind,ro / && '
    'mount -t tmpfs -o size=16m,mode=1777 tmpfs /tmp && '
    'exec setpriv --reuid=65534 --regid=65534 --clear-groups --no-new-privs -- "$@"'
)


def sandbox_works(scratch, data_dir, cli, urls_file):
    """Whether each pod can run as nobody with a read-only root: root rights,
    mount namespaces, a scratch folder outside /tmp (the pod's /tmp hides
    it), and a program and files nobody can reach."""
    if os.geteuid() != 0 or not shutil.which("unshare") or not shutil.which("setpriv"):
        return False
    if scratch.startswith(("/tmp/", "/dev/")):
        return False
    os.chown(data_dir, 65534, 65534)
    probe = subprocess.run(["unshare", "-m", "--propagation", "private", "--", "/bin/sh", "-c", SANDBOX,
                            "sandbox", data_dir, "sh", "-c", 'test -x "$0" && test -w "$1" && test -r "$2"',
                            cli, data_dir, urls_file], capture_output=True)
    return probe.returncode == 0


class Pods:
    """Runs the pod's script, and sentrel-cli on a shard, as a pod would."""

    def __init__(self, script, env, data_dir, bin_dir, home, sandboxed):
        self.script, self.env, self.data_dir = script, env, data_dir
        self.bin_dir, self.home, self.sandboxed = bin_dir, home, sandboxed

    def _run(self, command, extra_env):
        env = {"PATH": f"{self.bin_dir}:/usr/bin:/bin", "HOME": self.home, "LANG": "C.UTF-8",
               "no_proxy": "127.0.0.1", "NO_PROXY": "127.0.0.1"}
        env.update(extra_env)
        if self.sandboxed:
            command = ["unshare", "-m", "--propagation", "private", "--", "/bin/sh", "-c", SANDBOX,
                       "sandbox", self.data_dir] + command
        return subprocess.run(command, env=env, capture_output=True, text=True, timeout=60)

    def run(self, index):
        """(the finished process, stdout lines without a tab, {URL: status})"""
        done = self._run(["bash", "-c", self.script], dict(self.env, JOB_COMPLETION_INDEX=str(index)))
        lines = done.stdout.splitlines()
        rows = dict(reversed(line.split("\t", 1)) for line in lines if "\t" in line)
        return done, [line for line in lines if "\t" not in line], rows

    def stored(self, index):
        """The URLs of a shard's store, in list order."""
        done = self._run(["sentrel-cli", "--data", f"{self.data_dir}/shard-{index}", "list"], {})
        require(done.returncode == 0, f"list of shard {index} failed: {done.stderr}")
        return [line.split("\t")[0] for line in done.stdout.splitlines()]


def expect_run(label, result, rows_wanted, added_wanted, outcome):
    done, plain, rows = result
    if not check(done.returncode == 0, f"{label}: exit {done.returncode}; stderr: {done.stderr.strip()}"):
        return
    check(plain[-1:] == [outcome], f"{label}: stdout ends with {plain[-1:]}, expected {outcome!r}")
    check(sorted(plain[:-1]) == sorted(added_wanted), f"{label}: added {plain[:-1]}, expected {sorted(added_wanted)}")
    statuses = {url: ("HTTP 404" if status.startswith("HTTP/") and " 404 " in status else status)
                for url, status in rows.items()}
    check(statuses == rows_wanted, f"{label}: rows {statuses}, expected {rows_wanted}")


def main():
    manifest, cli, scratch = sys.argv[1], os.path.abspath(sys.argv[2]), os.path.abspath(sys.argv[3])
    config_map, claim, cronjob = load_manifest(manifest)
    shards, env, script, data_mount, urls_path, run_as = inspect_cronjob(config_map, claim, cronjob)
    inspect_dockerfile(os.path.join(os.path.dirname(os.path.abspath(manifest)), "Dockerfile"), run_as)
    if FAILURES:
        finish()

    shutil.rmtree(scratch, ignore_errors=True)
    data_dir, config_dir, www = (os.path.join(scratch, n) for n in ("data", "config", "www"))
    bin_dir, home = os.path.join(scratch, "bin"), os.path.join(scratch, "no-home")
    for d in (data_dir, config_dir, www, bin_dir):
        os.makedirs(d)
    os.symlink(cli, os.path.join(bin_dir, "sentrel-cli"))

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(QuietHandler, directory=www))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    base = f"http://127.0.0.1:{server.server_address[1]}"
    try:
        # Ten URLs among a comment and a blank line, which count for the
        # numbering but are never added; one line without a scheme, one padded
        # with spaces, one page missing (a row status, not a failed run).
        pages = [f"p{k}.html" for k in range(10)]
        for k, page in enumerate(pages[:-1]):
            with open(os.path.join(www, page), "w", encoding="utf-8") as f:
                f.write(f"<html><body><p>page {k}</p></body></html>\n")
        lines = ["# pages of the local server"] + [f"{base}/{p}" for p in pages]
        lines[3] = lines[3].replace("http://", "")
        lines[6] = "  " + lines[6] + " "
        lines.insert(8, "")
        stored_form = {line: f"{base}/{p}" for line, p in zip(lines[1:8] + lines[9:], pages)}
        with open(os.path.join(config_dir, "urls.txt"), "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        # The rule the manifest documents: line n (from 1) goes to shard (n - 1) mod SHARDS.
        expected = {i: [stored_form[line] for n, line in enumerate(lines, 1)
                        if (n - 1) % shards == i and line in stored_form] for i in range(shards)}
        require(all(expected.values()), f"the local list of {len(lines)} lines leaves a shard of {shards} empty")
        missing = f"{base}/{pages[-1]}"

        local = relocate(relocate(script, os.path.dirname(urls_path), config_dir), data_mount, data_dir)
        sandboxed = sandbox_works(scratch, data_dir, cli, os.path.join(config_dir, "urls.txt"))
        if sandboxed:
            print("pods run as nobody with a read-only root file system")
        else:
            print("note: pods run as this user on a writable root (no root rights or no mount namespaces)")
        pods = Pods(local, env, data_dir, bin_dir, home, sandboxed)

        def first_rows(urls):
            return {u: ("HTTP 404" if u == missing else "OK") for u in urls}

        for i in range(shards):
            expect_run(f"shard {i}, first run", pods.run(i), first_rows(expected[i]), expected[i], "No Change Detected")
            stored = pods.stored(i)
            check(stored == expected[i], f"shard {i} stores {stored}, expected {expected[i]}")

        check(sorted(os.listdir(data_dir)) == sorted(f"shard-{i}" for i in range(shards)),
              f"data folder holds {sorted(os.listdir(data_dir))}")
        everything = [u for i in range(shards) for u in pods.stored(i)]
        check(sorted(everything) == sorted(stored_form.values()),
              "the shards together do not hold every URL exactly once")
        check(not os.path.exists(home), "a pod wrote into its home folder")

        # The next run: nothing is added twice; a changed page of shard 0 is
        # reported; a URL commented out of the list stays in its shard's store
        # and is still checked, as the manifest's comments say.
        changed = expected[0][0]
        with open(os.path.join(www, changed.rsplit("/", 1)[1]), "w", encoding="utf-8") as f:
            f.write("<html><body><p>new text</p></body></html>\n")
        rows = first_rows(expected[0])
        rows[changed] = "Changed!"
        expect_run("shard 0, next run", pods.run(0), rows, [], "Complete")
        check(pods.stored(0) == expected[0], "shard 0 changed its list on a second run")

        dropped = expected[1][0]
        with open(os.path.join(config_dir, "urls.txt"), "w", encoding="utf-8") as f:
            f.write("\n".join("# " + l if stored_form.get(l) == dropped else l for l in lines) + "\n")
        expect_run("shard 1, line commented out", pods.run(1), first_rows(expected[1]), [], "No Change Detected")
        check(pods.stored(1) == expected[1], "commenting a line out changed shard 1's store")
    finally:
        server.shutdown()
    finish()


if __name__ == "__main__":
    main()
