/** A hello-world whose main says when it began, in microseconds since 1970. */
public final class BenchHello {
    public static void main(String[] args) {
        java.time.Instant now = java.time.Instant.now();
        System.out.println("main at " + (now.getEpochSecond() * 1_000_000L + now.getNano() / 1000));
    }
}
