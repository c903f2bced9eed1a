package sample.editor;

import java.awt.Dimension;
import java.awt.Font;
import java.awt.Graphics;
import java.awt.Insets;
import java.awt.event.KeyEvent;
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

    EditorWindow(String title, String text) {
        frame = new JFrame(title);
        frame.setDefaultCloseOperation(WindowConstants.EXIT_ON_CLOSE);

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
                painted.countDown();
            }
        };
        textArea.setEditable(false);
        textArea.setMargin(new Insets(6, 8, 6, 8));
        textArea.setFont(new Font(Font.MONOSPACED, Font.PLAIN, 14));
        JScrollPane scrollPane = new JScrollPane(textArea);
        scrollPane.setPreferredSize(new Dimension(560, 320));
        frame.getContentPane().add(scrollPane);
        frame.pack();
        frame.setLocationRelativeTo(null);
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

    CountDownLatch painted() {
        return painted;
    }
}
