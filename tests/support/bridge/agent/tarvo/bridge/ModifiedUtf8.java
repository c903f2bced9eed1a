package tarvo.bridge;

import java.io.ByteArrayOutputStream;

/**
 * JNI's modified UTF-8: U+0000 as two bytes, and characters outside the
 * Basic Multilingual Plane as their two surrogates of three bytes each.
 */
final class ModifiedUtf8 {
    static String decode(byte[] bytes) {
        StringBuilder text = new StringBuilder(bytes.length);
        for (int i = 0; i < bytes.length; ) {
            int b = bytes[i] & 0xff;
            if (b < 0x80) {
                text.append((char) b);
                i += 1;
            } else if ((b & 0xe0) == 0xc0 && i + 1 < bytes.length) {
                text.append((char) (((b & 0x1f) << 6) | (bytes[i + 1] & 0x3f)));
                i += 2;
            } else if ((b & 0xf0) == 0xe0 && i + 2 < bytes.length) {
                text.append((char) (((b & 0x0f) << 12) | ((bytes[i + 1] & 0x3f) << 6) | (bytes[i + 2] & 0x3f)));
                i += 3;
            } else {
                text.append('\ufffd');
                i += 1;
            }
        }
        return text.toString();
    }

    static byte[] encode(String text) {
        ByteArrayOutputStream bytes = new ByteArrayOutputStream(text.length() + 8);
        for (int i = 0; i < text.length(); i++) {
            char c = text.charAt(i);
            if (c != 0 && c < 0x80) {
                bytes.write(c);
            } else if (c < 0x800) {
                bytes.write(0xc0 | (c >> 6));
                bytes.write(0x80 | (c & 0x3f));
            } else {
                bytes.write(0xe0 | (c >> 12));
                bytes.write(0x80 | ((c >> 6) & 0x3f));
                bytes.write(0x80 | (c & 0x3f));
            }
        }
        return bytes.toByteArray();
    }

    private ModifiedUtf8() {}
}
