package tarvo.e2e;

/**
 * What the test programs tell the tests, as lines on System.out that the tests
 * parse. A string array goes out as its UTF-16 code units in hex, one line per
 * element, so that every unit arrives exactly (lone surrogates too):
 *   <prefix> arguments <count>
 *   <prefix> argument <index> <units, 4 upper-case hex digits, space-separated>
 * Lines end with a line feed whatever the platform's line separator is.
 */
final class Report {
    private Report() {}

    static String units(String text) {
        StringBuilder units = new StringBuilder();
        for (int index = 0; index < text.length(); ++index) {
            if (index > 0) {
                units.append(' ');
            }
            units.append(String.format("%04X", (int) text.charAt(index)));
        }
        return units.toString();
    }

    static String array(String prefix, String[] values) {
        StringBuilder lines = new StringBuilder(prefix + " arguments " + values.length);
        for (int index = 0; index < values.length; ++index) {
            lines.append('\n').append(prefix).append(" argument ").append(index).append(' ');
            lines.append(units(values[index]));
        }
        return lines.toString();
    }

    // One write per call, so that lines of several threads stay whole.
    static synchronized void line(String text) {
        System.out.print(text + "\n");
        System.out.flush();
    }

    static synchronized void errorLine(String text) {
        System.err.print(text + "\n");
        System.err.flush();
    }
}
