package tarvo.e2e.lib;

/** A class of its own jar, for class paths of several jars. */
public final class One {
    private One() {}
}
