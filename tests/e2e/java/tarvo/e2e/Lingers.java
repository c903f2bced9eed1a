package tarvo.e2e;

/**
 * main returns at once; a thread that is not a daemon goes on for two seconds
 * and says so when it ends. The process must wait for it.
 */
public final class Lingers {
    private Lingers() {}

    public static void main(String[] args) {
        Thread lingering = new Thread(() -> {
            try {
                Thread.sleep(2000);
            } catch (InterruptedException interrupted) {
                Report.line("thread interrupted");
                return;
            }
            Report.line("thread ends");
        }, "lingering");
        lingering.setDaemon(false);
        lingering.start();
        Report.line("main returns");
    }
}
