package sample.editor;

import java.util.ArrayList;
import java.util.List;
import javax.swing.SwingUtilities;

/**
 * The sample product's program: a small Swing window, titled with the product
 * name, that lists the arguments main received. The launcher starts it with the
 * settings of samples/editor/editor.ini.
 *
 * System properties:
 *   sample.product             the window title (the product name), "Sample Editor" when not set
 *   sample.quitAfterSeconds    chooses File > Quit by itself after that many seconds
 *   sample.screenshot          a PNG file that receives the window's picture once it is painted;
 *                              a relative name is relative to the current folder
 *   sample.firstWindowFile     a file that receives the time of the window's first paint (ms since
 *                              1970, the machine's clock), after which the program quits: a start-up
 *                              benchmark's finish line; relative as sample.screenshot
 */
public final class Main {
    private Main() {
    }

    public static void main(String[] args) {
        String product = System.getProperty("sample.product", "Sample Editor");
        List<String> lines = describeArguments(product, args);
        // The launcher's "Output File" receives these lines: tools/run-sample
        // prints them from there.
        for (String line : lines) {
            System.out.println(line);
        }
        System.out.flush();

        UnattendedRun unattended = UnattendedRun.fromSystemProperties();
        SwingUtilities.invokeLater(() -> {
            EditorWindow window = new EditorWindow(product, String.join("\n", lines));
            window.show();
            unattended.start(window);
        });
    }

    static List<String> describeArguments(String product, String[] args) {
        List<String> lines = new ArrayList<>();
        lines.add(product + ": main received " + args.length
                + (args.length == 1 ? " argument:" : " arguments:"));
        for (String argument : args) {
            lines.add(argument);
        }
        return lines;
    }
}
