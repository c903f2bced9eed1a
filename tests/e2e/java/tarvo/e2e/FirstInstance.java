package tarvo.e2e;

import java.io.File;

/**
 * The main of a first instance: reports its arguments, then stays until the
 * test leaves a file named "stop" in the current folder (at most three
 * minutes), so that later starts find it running.
 */
final class FirstInstance {
    private FirstInstance() {}

    static void serve(String[] args) throws InterruptedException {
        Report.line(Report.array("main", args));
        File stop = new File("stop");
        long deadline = System.nanoTime() + 180_000_000_000L;
        while (!stop.exists() && System.nanoTime() < deadline) {
            Thread.sleep(100);
        }
        Report.line("first instance ends");
    }
}
