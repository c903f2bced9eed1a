package sample.editor;

import java.awt.AWTException;
import java.awt.Rectangle;
import java.awt.Robot;
import java.awt.image.BufferedImage;
import java.io.File;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.util.concurrent.TimeUnit;
import javax.imageio.ImageIO;
import javax.swing.SwingUtilities;

/**
 * What the program does by itself for runs without a person: takes a picture
 * of its window (sample.screenshot), chooses File > Quit after a while
 * (sample.quitAfterSeconds), or writes when the window first painted and
 * quits (sample.firstWindowFile). They happen on a thread of their own; the
 * window is touched only on the event thread.
 */
final class UnattendedRun {
    // Every wait has a limit: a window that never paints does not keep the
    // program from quitting.
    private static final long PAINT_LIMIT_SECONDS = 60;

    private final String screenshot;
    private final long quitAfterSeconds;
    private final String firstWindowFile;

    private UnattendedRun(String screenshot, long quitAfterSeconds, String firstWindowFile) {
        this.screenshot = screenshot;
        this.quitAfterSeconds = quitAfterSeconds;
        this.firstWindowFile = firstWindowFile;
    }

    static UnattendedRun fromSystemProperties() {
        String screenshot = System.getProperty("sample.screenshot", "");
        long quitAfterSeconds = -1;
        String quitAfter = System.getProperty("sample.quitAfterSeconds", "");
        if (!quitAfter.isEmpty()) {
            try {
                quitAfterSeconds = Long.parseLong(quitAfter.trim());
            } catch (NumberFormatException e) {
                System.err.println("sample: sample.quitAfterSeconds is not a number: " + quitAfter);
            }
        }
        return new UnattendedRun(screenshot, quitAfterSeconds,
                System.getProperty("sample.firstWindowFile", ""));
    }

    /** Called on the event thread once the window is shown. */
    void start(EditorWindow window) {
        if (screenshot.isEmpty() && quitAfterSeconds < 0 && firstWindowFile.isEmpty()) {
            return;
        }
        long startedAt = System.nanoTime();
        Thread thread = new Thread(() -> run(window, startedAt), "sample-unattended");
        thread.setDaemon(true);
        thread.start();
    }

    private void run(EditorWindow window, long startedAt) {
        // A benchmark's start ends at its finish line, whatever else was asked.
        if (!firstWindowFile.isEmpty()) {
            System.exit(writeFirstWindow(window) ? 0 : 1);
        }
        // The picture comes first: a short quit-after must not end the
        // program before the picture is written.
        if (!screenshot.isEmpty()) {
            takeScreenshot(window);
        }
        if (quitAfterSeconds >= 0) {
            long elapsed = System.nanoTime() - startedAt;
            long remaining = TimeUnit.SECONDS.toNanos(quitAfterSeconds) - elapsed;
            if (remaining > 0) {
                try {
                    TimeUnit.NANOSECONDS.sleep(remaining);
                } catch (InterruptedException e) {
                    Thread.currentThread().interrupt();
                }
            }
            System.out.println("sample: choosing File > Quit after " + quitAfterSeconds + " s");
            System.out.flush();
            SwingUtilities.invokeLater(() -> window.quitItem().doClick());
        }
    }

    // Where the window is on the screen. Without a window manager, the X
    // toolkit may keep reporting the window at the screen's corner after it
    // has painted, while it is where it was put: putting it there once more
    // sets the report right. A window manager may move the window; then the
    // place it reports counts.
    private static Rectangle screenArea(EditorWindow window)
            throws InterruptedException, java.lang.reflect.InvocationTargetException {
        Rectangle[] area = new Rectangle[1];
        for (int attempt = 0; attempt < 30; ++attempt) {
            SwingUtilities.invokeAndWait(() -> {
                area[0] = new Rectangle(window.frame().getLocationOnScreen(), window.frame().getSize());
                if (!area[0].getLocation().equals(window.placedAt())) {
                    window.frame().setLocation(window.placedAt());
                }
            });
            if (area[0].getLocation().equals(window.placedAt())) {
                break;
            }
            Thread.sleep(100);
        }
        return area[0];
    }

    // Writes the time of the window's first paint; false (said on
    // System.err) when it did not paint in time or the file cannot be written.
    private boolean writeFirstWindow(EditorWindow window) {
        try {
            if (!window.painted().await(PAINT_LIMIT_SECONDS, TimeUnit.SECONDS)) {
                System.err.println("sample: the window did not paint within " + PAINT_LIMIT_SECONDS + " s");
                return false;
            }
            Files.write(new File(firstWindowFile).getAbsoluteFile().toPath(),
                    Long.toString(window.firstPaintedAt()).getBytes(StandardCharsets.US_ASCII));
            return true;
        } catch (IOException e) {
            System.err.println("sample: cannot write " + firstWindowFile + ": " + e);
            return false;
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
            return false;
        }
    }

    private void takeScreenshot(EditorWindow window) {
        try {
            if (!window.painted().await(PAINT_LIMIT_SECONDS, TimeUnit.SECONDS)) {
                System.err.println("sample: the window did not paint within " + PAINT_LIMIT_SECONDS
                        + " s; no screenshot");
                return;
            }
            Robot robot = new Robot();
            // Lets the paint that counted down reach the screen, and any
            // that were queued behind it.
            robot.waitForIdle();
            Rectangle area = screenArea(window);
            // A window that has just moved may repaint.
            robot.waitForIdle();
            BufferedImage picture = robot.createScreenCapture(area);
            File file = new File(screenshot).getAbsoluteFile();
            if (!ImageIO.write(picture, "png", file)) {
                System.err.println("sample: no PNG writer; no screenshot");
                return;
            }
            System.out.println("sample: screenshot written to " + file);
            System.out.flush();
        } catch (AWTException | IOException | java.lang.reflect.InvocationTargetException e) {
            System.err.println("sample: no screenshot: " + e);
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
        }
    }
}
