#!/usr/bin/python3
"""orvanta-compare's SSIM against Debian's pyssim (python3-pyssim) on three picture pairs.

Usage: pyssimCrossCheck.py PATH/TO/orvanta-compare
Fails (exit 1) when python3, numpy, PIL or pyssim is missing, or when the two SSIM values of a
pair differ by more than 1e-3.

Two quirks of pyssim 0.2 are worked around here rather than copied into the tool:
- it calls numpy.float, which numpy 1.24 removed; the alias is restored to the builtin float it
  always was, which changes nothing in its arithmetic;
- for a picture with an alpha channel it sets the grey value of every fully opaque pixel to 0
  (img_gray[img_alpha == 255] = 0), so opaque RGBA pictures all compare as identical; the
  pictures are therefore written and handed to it as RGB.
"""
import os
import subprocess
import sys
import tempfile
import warnings

# pyssim reaches scipy.ndimage through a module path scipy has deprecated; that is not our news.
warnings.simplefilter("ignore", DeprecationWarning)

try:
    import numpy
    from PIL import Image
    numpy.float = float  # removed in numpy 1.24; pyssim 0.2 still uses it
    from ssim import SSIM
    from ssim.utils import get_gaussian_kernel
except ImportError as error:
    sys.exit("pyssim cross-check: cannot import %s (install python3-pyssim: scripts/setup)" % error)

TOLERANCE = 1e-3


def pairs():
    """Three pairs whose SSIM lies well inside (0, 1): noise, a blur, and a shift with a gradient."""
    rng = numpy.random.default_rng(7)
    height, width = 48, 64
    y, x = numpy.mgrid[0:height, 0:width]
    gradient = numpy.stack([x * 255.0 / width, y * 255.0 / height, (x + y) * 255.0 / (width + height)], axis=-1)
    texture = gradient + 40.0 * numpy.sin(x / 3.0)[..., None] * numpy.cos(y / 5.0)[..., None]
    base = numpy.clip(texture, 0, 255).astype(numpy.uint8)

    noisy = numpy.clip(base + rng.normal(0.0, 20.0, base.shape), 0, 255).astype(numpy.uint8)
    yield "noise", base, noisy

    blurred = base.astype(float)
    for _ in range(3):
        blurred = (blurred + numpy.roll(blurred, 1, 0) + numpy.roll(blurred, 1, 1) + numpy.roll(blurred, -1, 1)) / 4
    yield "blur", base, numpy.clip(blurred, 0, 255).astype(numpy.uint8)

    random_picture = rng.integers(0, 256, base.shape, dtype=numpy.uint8)
    shifted = numpy.clip(numpy.roll(random_picture, 2, 1).astype(int) + 30, 0, 255).astype(numpy.uint8)
    yield "shifted random", random_picture, shifted


def tool_ssim(tool, reference, test):
    run = subprocess.run([tool, reference, test], capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit("pyssim cross-check: %s failed (%d): %s" % (tool, run.returncode, run.stderr))
    for line in run.stdout.splitlines():
        if line.startswith("SSIM"):
            return float(line.split()[1])
    sys.exit("pyssim cross-check: no SSIM line in %r" % run.stdout)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    tool = sys.argv[1]
    kernel = get_gaussian_kernel(11, 1.5)
    failures = 0
    with tempfile.TemporaryDirectory(prefix="pyssim-") as folder:
        for name, reference, test in pairs():
            reference_path = os.path.join(folder, "reference.png")
            test_path = os.path.join(folder, "test.png")
            Image.fromarray(reference, "RGB").save(reference_path)
            Image.fromarray(test, "RGB").save(test_path)
            expected = SSIM(Image.open(reference_path).convert("RGB"), kernel).ssim_value(
                Image.open(test_path).convert("RGB"))
            measured = tool_ssim(tool, reference_path, test_path)
            difference = abs(measured - expected)
            verdict = "ok" if difference <= TOLERANCE else "FAILED"
            print("%-15s pyssim %.9f  orvanta-compare %.9f  difference %.2e  %s" %
                  (name, expected, measured, difference, verdict))
            failures += difference > TOLERANCE
    print("%d passed, %d failed" % (3 - failures, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
