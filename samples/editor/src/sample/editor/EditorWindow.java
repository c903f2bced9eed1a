package sample.editor;

import java.awt.Dimension;
import java.awt.Font;
import java.awt.Graphics;
import java.awt.Insets;
import java.awt.Point;
import java.awt.Rectangle;
import java.awt.event.KeyEvent;
import java.awt.event.WindowAdapter;
import java.awt.event.WindowEvent;
import java.util.concurrent.CountDownLatch;
import javax.swing.JFrame;
import javax.swing.JMenu;
import javax.swing.JMenuBar;
import javax.swing.JMenuItem;
import javax.swing.JScrollPane;
import javax.swing.JTextArea;
import javax.swing.WindowConstants;

/** The program's one window: a menu bar with File > Quit and a text area. Built on the event thread. */
final class EditorWindow {
    private final JFrame frame;
    private final JMenuItem quitItem;
    // Counted down by the text area's first paint, so that a picture of the
    // window is taken only once there is something to see.
    private final CountDownLatch painted = new CountDownLatch(1);
    // The machine's clock (ms since 1970) at that first paint.
    private volatile long firstPaintedAt;
    private final Point placedAt;

    EditorWindow(String title, String text) {
        frame = new JFrame(title);
        // Closing the window quits like File > Quit. (Not EXIT_ON_CLOSE: setting
        // that asks the security manager whether the program may exit, and a
        // runtime that watches exits through one takes the question for an exit.)
        frame.setDefaultCloseOperation(WindowConstants.DO_NOTHING_ON_CLOSE);
        frame.addWindowListener(new WindowAdapter() {
            @Override
            public void windowClosing(WindowEvent event) {
                System.exit(0);
            }
        });

        quitItem = new JMenuItem("Quit", KeyEvent.VK_Q);
        quitItem.addActionListener(event -> System.exit(0));
        JMenu fileMenu = new JMenu("File");
        fileMenu.setMnemonic(KeyEvent.VK_F);
        fileMenu.add(quitItem);
        JMenuBar menuBar = new JMenuBar();
        menuBar.add(fileMenu);
        frame.setJMenuBar(menuBar);

        JTextArea textArea = new JTextArea(text) {
            @Override
            protected void paintComponent(Graphics graphics) {
                super.paintComponent(graphics);
                if (painted.getCount() > 0) {
                    firstPaintedAt = System.currentTimeMillis();
                    painted.countDown();
                }
            }
        };
        textArea.setEditable(false);
        textArea.setMargin(new Insets(6, 8, 6, 8));
        textArea.setFont(new Font(Font.MONOSPACED, Font.PLAIN, 14));
        JScrollPane scrollPane = new JScrollPane(textArea);
        scrollPane.setPreferredSize(new Dimension(560, 320));
        frame.getContentPane().add(scrollPane);
        frame.pack();
        // Centred on the screen, by a place of our own: the frame's location
        // read back may for a moment be the one the X toolkit first reported.
        Rectangle screen = frame.getGraphicsConfiguration().getBounds();
        placedAt = new Point(screen.x + (screen.width - frame.getWidth()) / 2,
                screen.y + (screen.height - frame.getHeight()) / 2);
        frame.setLocation(placedAt);
    }

    void show() {
        frame.setVisible(true);
    }

    JFrame frame() {
        return frame;
    }

    JMenuItem quitItem() {
        return quitItem;
    }

    /** Where the window was put on the screen, before it was shown. */
    Point placedAt() {
        return placedAt;
    }

    CountDownLatch painted() {
        return painted;
    }

    /** When the text area first painted, in ms since 1970; valid once painted() has counted down. */
    long firstPaintedAt() {
        return firstPaintedAt;
    }
}
