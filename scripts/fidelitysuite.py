"""The fidelity suite's views and the runs shared by scripts/fidelity and scripts/update-fidelity.

The views live in tests/fidelity/views.txt, which the CI gate (tests/fidelity) reads too: one view
a line, "key | title | render options | why it is in the suite"; a model's path among the options
("model=PATH") is imported first and its scene rendered (the camera is then in its coordinates).
"""
import json
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
VIEWS_FILE = os.path.join(ROOT, "tests", "fidelity", "views.txt")
RENDER = os.path.join(ROOT, "build", "tools", "orvanta-render")
TRACE = os.path.join(ROOT, "build", "tools", "orvanta-trace")
COMPARE = os.path.join(ROOT, "build", "tools", "orvanta-compare")
IMPORT = os.path.join(ROOT, "build", "tools", "orvanta-import")


class View:
    def __init__(self, key, title, options, why):
        self.key = key
        self.title = title
        self.options = [o for o in options if not o.startswith("model=")]
        models = [o[len("model="):] for o in options if o.startswith("model=")]
        self.model = models[0] if models else None
        self.why = why


def read_views(path=VIEWS_FILE):
    views = []
    with open(path) as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            fields = [field.strip() for field in line.split("|")]
            if len(fields) != 4 or not re.fullmatch(r"[A-Za-z0-9_-]+", fields[0]):
                sys.exit("%s:%d: expected 'key | title | options | why'" % (path, number))
            views.append(View(fields[0], fields[1], fields[2].split(), fields[3]))
    return views


def run(command, show_progress=False):
    """Runs a tool and returns its standard output; exits naming the command when it fails. With
    show_progress the tool's standard error (a trace's progress line) goes to the terminal."""
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=None if show_progress else subprocess.STDOUT,
                            text=True, cwd=ROOT)
    if result.returncode != 0:
        sys.exit("fidelity: %s failed (exit %d):\n%s" % (" ".join(command), result.returncode, result.stdout))
    return result.stdout


def scene_options(view, work_dir):
    """The render options that load the view's scene: the demo's, or its model imported once into
    work_dir."""
    if not view.model:
        return []
    if not os.path.exists(view.model):
        sys.exit("fidelity: %s is missing: the view '%s' needs Debian's assimp-testmodels" % (view.model, view.key))
    imported = os.path.join(work_dir, "import-" + view.key)
    stem = os.path.splitext(os.path.basename(view.model))[0]
    scene = os.path.join(imported, stem + ".scene")
    if not os.path.exists(scene):
        run([IMPORT, view.model, imported])
    return ["--scene", scene]


def number_after(name, output):
    found = re.search(r"%s ([0-9.eE+-]+)" % re.escape(name), output)
    if not found:
        sys.exit("fidelity: no '%s' in the output:\n%s" % (name, output))
    return float(found.group(1))


def compare(reference, test, error_map=None):
    command = [COMPARE, reference, test] + (["--map", error_map] if error_map else [])
    output = run(command)
    values = {}
    for name in ("relMSE", "PSNR", "SSIM", "energy"):
        found = re.search(r"^%s\s+(\S+)" % name, output, re.M)
        try:
            values[name] = float(found.group(1)) if found else float("nan")
        except ValueError:
            values[name] = float("nan")
    return values


def trace_reference(view, size, scene, spp, bounces, exposure, exr, seed=0):
    """Traces the view's reference with its two halves beside it; returns the trace's report
    (mean luminance and its standard error)."""
    command = ([TRACE, "--reference"] + size + scene + view.options +
               ["--spp", str(spp), "--bounces", str(bounces), "--seed", str(seed), "--halves", "--hdr", exr])
    if exposure is not None:
        command += ["--exposure", repr(exposure)]
    print("tracing %s (%s)" % (view.key, " ".join(command[1:])), file=sys.stderr, flush=True)
    output = run(command, show_progress=True)
    return {"luminance": number_after("mean luminance", output),
            "standardError": number_after("standard error", output),
            "exposure": number_after("exposure", output),
            "output": output}


def half_paths(exr):
    stem = exr[:-len(".exr")]
    return stem + "-half0.exr", stem + "-half1.exr"


def reference_noise(exr):
    """The reference's own noise: its two halves compared (PSNR and SSIM between them), and the
    tone-mapped mean squared error the whole reference is estimated to have against the converged
    picture (a quarter of the halves': each half has twice the variance, and their difference twice
    that again)."""
    a, b = half_paths(exr)
    halves = compare(a, b)
    mse = 10 ** (-halves["PSNR"] / 10) if halves["PSNR"] == halves["PSNR"] else float("nan")
    return {"halvesPSNR": halves["PSNR"], "halvesSSIM": halves["SSIM"], "referenceMSE": mse / 4}


def reference_for(view, size, spp, bounces, out, reuse):
    """The view's reference in out (KEY-reference.exr, its .png and halves beside it) with its
    report: the exposure the frame's eye settles at in the view (every feature on), at which it was
    traced, its mean luminance and that mean's standard error, and its noise (reference_noise).
    With reuse, one already there that was traced by the same command is taken as it is."""
    base = os.path.join(out, view.key)
    scene = scene_options(view, out)
    reference = base + "-reference.exr"
    key = " ".join(size + scene + view.options + ["--spp", str(spp), "--bounces", str(bounces)])
    try:
        with open(reference + ".command") as f:
            recorded = f.read().strip()
        with open(reference + ".report") as f:
            report = json.load(f)
    except (OSError, ValueError):
        recorded, report = None, None
    if reuse and recorded == key and os.path.exists(reference):
        return reference, report
    for stale in (reference + ".command", reference + ".report"):
        if os.path.exists(stale):
            os.remove(stale)
    output = run([RENDER] + size + scene + view.options + ["--no-overlay", "--hdr", base + "-row0.exr"])
    exposure = number_after("exposure", output)
    traced = trace_reference(view, size, scene, spp, bounces, exposure, reference)
    report = {k: v for k, v in traced.items() if k != "output"}
    report.update(reference_noise(reference))
    with open(reference + ".report", "w") as f:
        json.dump(report, f)
    with open(reference + ".command", "w") as f:
        f.write(key + "\n")
    return reference, report
