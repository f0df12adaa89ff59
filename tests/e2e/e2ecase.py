"""What every end-to-end test module shares: where the game is, a test case that runs it on its
own Xvfb, saving artifacts on failure, and a runner that ends with a count line.

Environment:
  ZORVANE_BIN            the game executable (default: <repo>/build/zorvane)
  ZORVANE_CONTENT_DIR    working directory that contains Content/ (default: the binary's folder)
  ZORVANE_E2E_ARTIFACTS  where screenshots/logs go (default: /tmp/zorvane-e2e)
"""

import functools
import os
import shutil
import signal
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
if HERE not in sys.path:
    sys.path.insert(0, HERE)

import harness  # noqa: E402

REPO = os.path.abspath(os.path.join(HERE, "..", ".."))
BIN = os.path.abspath(os.environ.get("ZORVANE_BIN") or os.path.join(REPO, "build", "zorvane"))
CONTENT_DIR = os.path.abspath(os.environ.get("ZORVANE_CONTENT_DIR") or os.path.dirname(BIN))
ARTIFACTS = os.environ.get("ZORVANE_E2E_ARTIFACTS") or "/tmp/zorvane-e2e"


def keeps_artifacts_on_failure(test):
    """On failure, save this test's screenshots and the game's output under ARTIFACTS."""

    @functools.wraps(test)
    def wrapper(self):
        try:
            return test(self)
        except unittest.SkipTest:
            raise
        except BaseException:
            self.save_artifacts()
            raise

    return wrapper


class GameRunCase(unittest.TestCase):
    """A test that starts the real game, as often as it likes, on an Xvfb of its own."""

    def setUp(self):
        if not (os.path.isfile(BIN) and os.access(BIN, os.X_OK)):
            self.fail("game executable not found: %s (build it, or set ZORVANE_BIN)" % BIN)
        self.work = tempfile.mkdtemp(prefix="zorvane-e2e-")
        self.addCleanup(shutil.rmtree, self.work, True)
        self.xs = harness.XServer()
        self.xs.start()  # stop() below also runs if start() fails half-way
        self.games = []

    def tearDown(self):
        self.xs.stop()  # kills every game started on it, then Xvfb

    def doCleanups(self):
        # make sure nothing outlives the test even if setUp failed after start()
        try:
            return super().doCleanups()
        finally:
            if getattr(self, "xs", None) is not None:
                self.xs.stop()

    def artifact_dir(self):
        return os.path.join(ARTIFACTS, self.id().split(".")[-1])

    def save_artifacts(self):
        for i, game in enumerate(self.games):
            try:
                paths = game.save_artifacts(self.artifact_dir(), prefix="run%d-" % i if i else "")
                sys.stderr.write("\n[e2e] saved for %s: %s\n" % (self.id(), ", ".join(paths)))
            except Exception as exc:
                sys.stderr.write("\n[e2e] could not save artifacts: %s\n" % exc)

    def launch(self, cwd=CONTENT_DIR):
        log_dir = os.path.join(self.work, "run%d" % len(self.games))
        game = self.xs.launch(BIN, cwd=cwd, log_dir=log_dir)
        self.games.append(game)
        return game


def main(module):
    """Runs a test module's cases (or those named on the command line); 0 when all passed."""

    # let a plain kill run the harness's clean-up (it stops Xvfb and the game at exit)
    def stop(*_):
        raise KeyboardInterrupt("SIGTERM")

    signal.signal(signal.SIGTERM, stop)
    os.makedirs(ARTIFACTS, exist_ok=True)
    argv = sys.argv[1:]
    verbosity = 2 if "-v" in argv else 1
    names = [a for a in argv if not a.startswith("-")]
    loader = unittest.TestLoader()
    suite = loader.loadTestsFromNames(names, module) if names else loader.loadTestsFromModule(module)
    result = unittest.TextTestRunner(verbosity=verbosity).run(suite)
    # a test with several failing subtests still counts once
    failed = len({getattr(t, "test_case", t).id() for t, _ in result.failures + result.errors}
                 | {t.id() for t in result.unexpectedSuccesses})
    skipped = len(result.skipped)
    passed = result.testsRun - failed - skipped - len(result.expectedFailures)
    print("e2e: %d passed, %d failed, %d skipped" % (passed, failed, skipped))
    return 0 if failed == 0 and result.testsRun > 0 else 1
