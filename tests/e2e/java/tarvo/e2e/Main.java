package tarvo.e2e;

import java.net.URL;
import java.nio.file.Paths;
import java.util.TreeSet;

/**
 * Reports what it was started with: its arguments, the system properties whose
 * names start with "e2e.", and for each class named in "tarvo.e2e.load"
 * (comma-separated) the file name of the jar it came from. One line goes to
 * System.err; main then returns.
 */
public final class Main {
    private Main() {}

    public static void main(String[] args) throws Exception {
        Report.line(Report.array("main", args));
        for (String name : new TreeSet<>(System.getProperties().stringPropertyNames())) {
            if (name.startsWith("e2e.")) {
                Report.line("property " + name + " " + Report.units(System.getProperty(name)));
            }
        }
        String load = System.getProperty("tarvo.e2e.load", "");
        for (String name : load.split(",")) {
            if (!name.isEmpty()) {
                Report.line("class " + name + " " + jarOf(name));
            }
        }
        Report.errorLine("error stream " + (args.length > 0 ? args[0] : "-"));
        Report.line("main returns");
    }

    private static String jarOf(String className) throws Exception {
        Class<?> loaded;
        try {
            loaded = Class.forName(className);
        } catch (ClassNotFoundException missing) {
            return "missing";
        }
        URL location = loaded.getProtectionDomain().getCodeSource().getLocation();
        return Report.units(Paths.get(location.toURI()).getFileName().toString());
    }
}
