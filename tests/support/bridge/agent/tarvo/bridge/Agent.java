package tarvo.bridge;

import java.io.BufferedInputStream;
import java.io.BufferedOutputStream;
import java.io.DataInputStream;
import java.io.DataOutputStream;
import java.io.IOException;
import java.io.OutputStream;
import java.io.PrintStream;
import java.lang.reflect.Field;
import java.net.InetAddress;
import java.net.ServerSocket;
import java.net.Socket;
import java.nio.charset.StandardCharsets;
import java.security.Permission;
import java.util.Map;
import java.util.Set;
import java.util.concurrent.ConcurrentHashMap;

/**
 * The Java side of the bridge runtime. The Windows jvm.dll started this JVM
 * with the launcher's options; the agent connects back to it, then serves one
 * connection per attached Windows thread and performs each JNI call it
 * receives for real. The JVM ends when the Windows process does.
 *
 * Arguments: the port the Windows side listens on, and its token.
 */
public final class Agent {
    static final byte CONTROL_EXIT = 1;

    private static String token;
    private static DataOutputStream control;
    private static volatile boolean ending;
    static WindowsPaths paths;
    // The agent's own threads, which DestroyJavaVM does not wait for.
    static final Set<Thread> agentThreads = ConcurrentHashMap.newKeySet();

    public static void main(String[] args) throws Exception {
        int windowsPort = Integer.parseInt(args[0]);
        token = args[1];
        watchExits();
        InetAddress loopback = InetAddress.getLoopbackAddress();
        ServerSocket server = new ServerSocket(0, 50, loopback);

        Socket controlSocket = new Socket(loopback, windowsPort);
        controlSocket.setTcpNoDelay(true);
        OutputStream out = controlSocket.getOutputStream();
        out.write((token + " agent " + server.getLocalPort() + "\n").getBytes(StandardCharsets.US_ASCII));
        out.flush();
        DataInputStream in = new DataInputStream(new BufferedInputStream(controlSocket.getInputStream()));
        paths = WindowsPaths.read(in);
        control = new DataOutputStream(new BufferedOutputStream(out));
        startDaemon("tarvo-bridge-control", () -> watchControl(in));

        agentThreads.add(Thread.currentThread());
        for (;;) {
            Socket socket = server.accept();
            Session session = greet(socket);
            if (session == null) {
                continue;
            }
            // The Java thread stands for the Windows thread: its name, and
            // whether the threads it starts are daemons, are that thread's.
            Thread serving = new Thread(() -> serve(socket, session), session.threadName);
            serving.setDaemon(session.daemon);
            agentThreads.add(serving);
            serving.start();
        }
    }

    // Only the Windows process that started this JVM knows the token; anyone
    // else is turned away, and nobody may keep the door blocked for long.
    private static Session greet(Socket socket) {
        try {
            socket.setTcpNoDelay(true);
            socket.setSoTimeout(5000);
            Session session = Session.open(socket, token);
            if (session != null) {
                socket.setSoTimeout(0);
                return session;
            }
        } catch (IOException e) {
            // turned away below
        }
        try {
            socket.close();
        } catch (IOException e) {
            // nothing left to do
        }
        return null;
    }

    private static void serve(Socket socket, Session session) {
        try {
            session.run();
        } catch (IOException e) {
            // The Windows thread is gone; so is its connection.
        } finally {
            agentThreads.remove(Thread.currentThread());
            try {
                socket.close();
            } catch (IOException e) {
                // nothing left to do
            }
        }
    }

    // The control connection lives as long as the Windows process: when it
    // closes, that process has ended (or was killed) and this JVM follows.
    private static void watchControl(DataInputStream in) {
        try {
            while (in.read() >= 0) {
                // nothing is sent this way after the start
            }
        } catch (IOException e) {
            // closed
        }
        endWithWindowsProcess();
    }

    private static void endWithWindowsProcess() {
        ending = true;
        // Shutdown hooks get a moment; a hook that hangs does not keep the JVM.
        startDaemon("tarvo-bridge-halt", () -> {
            try {
                Thread.sleep(2000);
            } catch (InterruptedException e) {
                // halt all the same
            }
            Runtime.getRuntime().halt(0);
        });
        System.exit(0);
    }

    static void startDaemon(String name, Runnable body) {
        Thread thread = new Thread(body, name);
        thread.setDaemon(true);
        agentThreads.add(thread);
        thread.start();
    }

    // System.exit(n) in any thread must end the Windows process with n: a
    // security manager sees every exit before it happens. Installing one
    // prints a warning on the JVM's first error stream, which nobody asked
    // for: that stream is silenced meanwhile.
    private static void watchExits() throws ReflectiveOperationException {
        Field initialErr = System.class.getDeclaredField("initialErrStream");
        initialErr.setAccessible(true);
        Object saved = initialErr.get(null);
        initialErr.set(null, new PrintStream(OutputStream.nullOutputStream()));
        try {
            System.setSecurityManager(new ExitWatch());
        } finally {
            initialErr.set(null, saved);
        }
    }

    private static final class ExitWatch extends SecurityManager {
        @Override
        public void checkPermission(Permission permission) {}

        @Override
        public void checkPermission(Permission permission, Object context) {}

        @Override
        public void checkExit(int status) {
            if (!ending && exiting()) {
                announceExit(status);
            }
        }

        // Swing asks the same question only to learn whether a program may
        // exit (EXIT_ON_CLOSE); an exit comes through Runtime.exit or halt.
        private static boolean exiting() {
            return StackWalker.getInstance().walk(frames -> frames.anyMatch(frame ->
                    frame.getClassName().equals("java.lang.Runtime")
                            && (frame.getMethodName().equals("exit") || frame.getMethodName().equals("halt"))));
        }
    }

    private static synchronized void announceExit(int status) {
        // What the program wrote must be in its files before the Windows process ends.
        System.out.flush();
        System.err.flush();
        try {
            control.writeByte(CONTROL_EXIT);
            control.writeInt(status);
            control.flush();
        } catch (IOException e) {
            // The Windows process has already ended.
        }
    }

    /** DestroyJavaVM: returns once the program's last non-daemon thread has ended. */
    static void awaitProgramThreads() throws InterruptedException {
        for (;;) {
            Thread remaining = null;
            for (Thread thread : Thread.getAllStackTraces().keySet()) {
                if (!thread.isDaemon() && thread.isAlive() && !agentThreads.contains(thread)) {
                    remaining = thread;
                    break;
                }
            }
            if (remaining == null) {
                return;
            }
            remaining.join();
        }
    }

    private Agent() {}
}
