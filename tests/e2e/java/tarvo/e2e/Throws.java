package tarvo.e2e;

/**
 * Lets an exception with a cause leave main. Before it is thrown, its stack
 * trace goes to System.out, rendered by this very runtime, so that a test can
 * compare it with what the launcher shows.
 */
public final class Throws {
    private Throws() {}

    public static void main(String[] args) {
        RuntimeException thrown = wrapped();
        thrown.printStackTrace(System.out);
        System.out.flush();
        throw thrown;
    }

    private static RuntimeException wrapped() {
        try {
            failInside();
        } catch (IllegalStateException cause) {
            return new RuntimeException("Äußere Schicht", cause);
        }
        return new RuntimeException("not reached");
    }

    private static void failInside() {
        throw new IllegalStateException("innen: Grüße");
    }
}
