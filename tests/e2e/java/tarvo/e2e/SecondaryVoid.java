package tarvo.e2e;

/** A single-instance program whose later starts get no answer of their own. */
public final class SecondaryVoid {
    private SecondaryVoid() {}

    public static void main(String[] args) throws InterruptedException {
        FirstInstance.serve(args);
    }

    public static void secondaryMain(String[] args) {
        Report.line(Report.array("secondaryMain void", args));
    }
}
