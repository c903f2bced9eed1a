package tarvo.bridge;

import java.io.DataInputStream;
import java.io.IOException;
import java.util.HashMap;
import java.util.Map;

/**
 * Windows paths the launcher hands to java.io through JNI, turned into the
 * Linux paths Wine gives the same files: the drive letters map to the folders
 * the Windows side reported, and relative paths stay relative (this JVM's
 * current folder is the Windows process's).
 */
final class WindowsPaths {
    private final Map<Character, String> driveRoots;

    private WindowsPaths(Map<Character, String> driveRoots) {
        this.driveRoots = driveRoots;
    }

    // A count, then per drive its letter and the Linux folder (UTF-8).
    static WindowsPaths read(DataInputStream in) throws IOException {
        Map<Character, String> roots = new HashMap<>();
        int count = in.readInt();
        for (int i = 0; i < count; i++) {
            char letter = Character.toUpperCase((char) in.readUnsignedByte());
            byte[] root = new byte[in.readInt()];
            in.readFully(root);
            String folder = new String(root, java.nio.charset.StandardCharsets.UTF_8);
            while (folder.length() > 1 && folder.endsWith("/")) {
                folder = folder.substring(0, folder.length() - 1);
            }
            roots.put(letter, folder.equals("/") ? "" : folder);
        }
        return new WindowsPaths(roots);
    }

    String toLinux(String path) {
        if (path == null) {
            return null;
        }
        String plain = path.startsWith("\\\\?\\") ? path.substring(4) : path;
        if (plain.length() >= 3 && plain.charAt(1) == ':' && isSeparator(plain.charAt(2))) {
            String root = driveRoots.get(Character.toUpperCase(plain.charAt(0)));
            if (root != null) {
                return root + plain.substring(2).replace('\\', '/');
            }
            return path;
        }
        if (plain.startsWith("\\\\") || (plain.length() >= 2 && plain.charAt(1) == ':')) {
            return path;  // a share or a drive's own current folder: nothing Linux has
        }
        return plain.replace('\\', '/');
    }

    private static boolean isSeparator(char c) {
        return c == '\\' || c == '/';
    }
}
