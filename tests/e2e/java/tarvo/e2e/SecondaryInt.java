package tarvo.e2e;

/**
 * A single-instance program that answers each later start with the number its
 * first argument gives (-77 when there is none).
 */
public final class SecondaryInt {
    private SecondaryInt() {}

    public static void main(String[] args) throws InterruptedException {
        FirstInstance.serve(args);
    }

    public static int secondaryMain(String[] args) {
        Report.line(Report.array("secondaryMain int", args));
        try {
            return Integer.parseInt(args[0]);
        } catch (RuntimeException notANumber) {
            return -77;
        }
    }
}
