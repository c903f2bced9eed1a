package tarvo.bridge;

import java.io.BufferedInputStream;
import java.io.BufferedOutputStream;
import java.io.DataInputStream;
import java.io.DataOutputStream;
import java.io.EOFException;
import java.io.File;
import java.io.IOException;
import java.lang.reflect.Array;
import java.lang.reflect.Constructor;
import java.lang.reflect.Executable;
import java.lang.reflect.Field;
import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;
import java.net.Socket;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.List;
import java.util.Set;

/**
 * One attached Windows thread: its connection, its pending exception, and
 * the JNI calls it makes, performed one after the other on this Java thread.
 */
final class Session {
    // Requests; the Windows side numbers them the same.
    static final int FIND_CLASS = 1, BOOT_FIND_CLASS = 2, GET_OBJECT_CLASS = 3, GET_METHOD = 4,
            GET_FIELD = 5, CALL = 6, GET_FIELD_VALUE = 7, SET_FIELD_VALUE = 8, NEW_STRING_UTF = 9,
            NEW_STRING = 10, STRING_CHARS = 11, STRING_UTF = 12, DELETE_REFERENCE = 13,
            NEW_REFERENCE = 14, IS_SAME = 15, IS_INSTANCE = 16, EXCEPTION_OCCURRED = 17,
            EXCEPTION_CLEAR = 18, EXCEPTION_DESCRIBE = 19, THROW = 20, THROW_NEW = 21,
            ARRAY_LENGTH = 22, NEW_OBJECT_ARRAY = 23, GET_OBJECT_ELEMENT = 24, SET_OBJECT_ELEMENT = 25,
            NEW_PRIMITIVE_ARRAY = 26, GET_PRIMITIVE_REGION = 27, SET_PRIMITIVE_REGION = 28,
            GET_SUPERCLASS = 29, IS_ASSIGNABLE = 30, DESTROY_VM = 31, DETACH = 32, ECHO = 33;
    static final int CALL_VIRTUAL = 0, CALL_STATIC = 2, CALL_NEW = 3;

    // java.io and friends whose first String argument names a file.
    private static final Set<Class<?>> FILE_NAMING = Set.of(File.class, java.io.FileInputStream.class,
            java.io.FileOutputStream.class, java.io.FileReader.class, java.io.FileWriter.class,
            java.io.RandomAccessFile.class, java.io.PrintStream.class, java.io.PrintWriter.class,
            java.util.zip.ZipFile.class, java.util.jar.JarFile.class);

    private final DataInputStream connection;
    private final DataOutputStream out;
    // The request being performed: each comes whole, so one that fails half
    // read leaves the next intact.
    private DataInputStream in;
    private Throwable pending;

    private Session(DataInputStream connection, DataOutputStream out) {
        this.connection = connection;
        this.out = out;
    }

    /** Reads the greeting: the token, then the thread's name and whether it is a daemon. */
    static Session open(Socket socket, String token) throws IOException {
        DataInputStream in = new DataInputStream(new BufferedInputStream(socket.getInputStream()));
        DataOutputStream out = new DataOutputStream(new BufferedOutputStream(socket.getOutputStream()));
        int length = in.readInt();
        if (length != token.length()) {
            return null;
        }
        byte[] offered = in.readNBytes(length);
        if (!token.equals(new String(offered, StandardCharsets.US_ASCII))) {
            return null;
        }
        Session session = new Session(in, out);
        session.threadName = ModifiedUtf8.decode(readBytes(in));
        session.daemon = in.readBoolean();
        return session;
    }

    String threadName;
    boolean daemon;

    void run() throws IOException {
        out.writeByte(1);
        out.flush();
        for (;;) {
            int request;
            try {
                request = connection.readUnsignedByte();
            } catch (EOFException e) {
                return;
            }
            in = new DataInputStream(new java.io.ByteArrayInputStream(readBytes(connection)));
            if (request == DETACH) {
                reportUncaught();
                out.writeByte(0);
                out.writeInt(0);
                out.flush();
                return;
            }
            if (request == DELETE_REFERENCE) {  // answered by nobody: the Windows side goes on at once
                Handles.delete(in.readLong());
                continue;
            }
            ByteBuffer reply = new ByteBuffer();
            try {
                perform(request, reply.data);
            } catch (Throwable t) {
                reply = new ByteBuffer();
                pending = t;
                reply.data.writeLong(0);  // whatever the caller reads, it is zero
                reply.data.writeLong(0);
            }
            out.writeByte(pending != null ? 1 : 0);
            out.writeInt(reply.bytes.size());
            reply.bytes.writeTo(out);
            out.flush();
        }
    }

    private static final class ByteBuffer {
        final java.io.ByteArrayOutputStream bytes = new java.io.ByteArrayOutputStream();
        final DataOutputStream data = new DataOutputStream(bytes);
    }

    private void perform(int request, DataOutputStream reply) throws Throwable {
        switch (request) {
            case FIND_CLASS -> reply.writeLong(Handles.reference(findClass(readText())));
            case BOOT_FIND_CLASS -> reply.writeLong(Handles.reference(findBootClass(readText())));
            case GET_OBJECT_CLASS -> reply.writeLong(Handles.reference(object().getClass()));
            case GET_METHOD -> reply.writeLong(findMethod((Class<?>) object(), readText(), readText(),
                    in.readBoolean()));
            case GET_FIELD -> reply.writeLong(findField((Class<?>) object(), readText(), readText(),
                    in.readBoolean()));
            case CALL -> call(reply);
            case GET_FIELD_VALUE -> {
                Object holder = object();
                Field field = Handles.field(in.readLong());
                writeValue(reply, field.getType(), field.get(Modifier.isStatic(field.getModifiers()) ? null : holder));
            }
            case SET_FIELD_VALUE -> {
                Object holder = object();
                Field field = Handles.field(in.readLong());
                field.set(Modifier.isStatic(field.getModifiers()) ? null : holder, readValue());
            }
            case NEW_STRING_UTF -> reply.writeLong(Handles.reference(readText()));
            case NEW_STRING -> {
                char[] chars = new char[in.readInt()];
                for (int i = 0; i < chars.length; i++) {
                    chars[i] = in.readChar();
                }
                reply.writeLong(Handles.reference(new String(chars)));
            }
            case STRING_CHARS -> {
                String text = (String) object();
                reply.writeInt(text.length());
                reply.writeChars(text);
            }
            case STRING_UTF -> {
                byte[] bytes = ModifiedUtf8.encode((String) object());
                reply.writeInt(bytes.length);
                reply.write(bytes);
            }
            case NEW_REFERENCE -> reply.writeLong(Handles.reference(object()));
            case IS_SAME -> reply.writeBoolean(object() == object());
            case IS_INSTANCE -> {
                Object object = object();
                reply.writeBoolean(object == null || ((Class<?>) object()).isInstance(object));
            }
            case EXCEPTION_OCCURRED -> reply.writeLong(Handles.reference(pending));
            case EXCEPTION_CLEAR -> pending = null;
            case EXCEPTION_DESCRIBE -> {
                Throwable described = pending;
                pending = null;
                if (described != null) {
                    described.printStackTrace();
                }
            }
            case THROW -> pending = (Throwable) object();
            case THROW_NEW -> {
                Class<?> type = (Class<?>) object();
                String message = in.readBoolean() ? readText() : null;
                pending = (Throwable) type.getConstructor(String.class).newInstance(message);
                reply.writeInt(0);
            }
            case ARRAY_LENGTH -> reply.writeInt(Array.getLength(object()));
            case NEW_OBJECT_ARRAY -> {
                int length = in.readInt();
                Class<?> type = (Class<?>) object();
                Object initial = object();
                Object[] array = (Object[]) Array.newInstance(type, length);
                java.util.Arrays.fill(array, initial);
                reply.writeLong(Handles.reference(array));
            }
            case GET_OBJECT_ELEMENT -> {
                Object[] array = (Object[]) object();
                reply.writeLong(Handles.reference(array[in.readInt()]));
            }
            case SET_OBJECT_ELEMENT -> {
                Object[] array = (Object[]) object();
                int index = in.readInt();
                array[index] = object();
            }
            case NEW_PRIMITIVE_ARRAY -> {
                Class<?> type = primitive(in.readUnsignedByte());
                reply.writeLong(Handles.reference(Array.newInstance(type, in.readInt())));
            }
            case GET_PRIMITIVE_REGION -> {
                Object array = object();
                int start = in.readInt();
                int count = in.readInt();
                checkRegion(array, start, count);
                Class<?> type = array.getClass().getComponentType();
                for (int i = 0; i < count; i++) {
                    writeValue(reply, type, Array.get(array, start + i));
                }
            }
            case SET_PRIMITIVE_REGION -> {
                Object array = object();
                int start = in.readInt();
                int count = in.readInt();
                checkRegion(array, start, count);
                for (int i = 0; i < count; i++) {
                    Array.set(array, start + i, readValue());
                }
            }
            case GET_SUPERCLASS -> reply.writeLong(Handles.reference(((Class<?>) object()).getSuperclass()));
            case IS_ASSIGNABLE -> {
                Class<?> from = (Class<?>) object();
                reply.writeBoolean(((Class<?>) object()).isAssignableFrom(from));
            }
            case DESTROY_VM -> {
                Agent.awaitProgramThreads();
                System.out.flush();
                System.err.flush();
            }
            case ECHO -> reply.writeLong(in.readLong());
            default -> throw new IOException("unknown request " + request);
        }
    }

    private static void checkRegion(Object array, int start, int count) {
        if (start < 0 || count < 0 || start + count > Array.getLength(array)) {
            throw new ArrayIndexOutOfBoundsException("Array region " + start + ".." + (start + count)
                    + " out of bounds for length " + Array.getLength(array));
        }
    }

    // Like a real VM's DetachCurrentThread: an exception still pending is the
    // thread's uncaught exception.
    private void reportUncaught() {
        if (pending != null) {
            Thread thread = Thread.currentThread();
            thread.getUncaughtExceptionHandler().uncaughtException(thread, pending);
            pending = null;
        }
    }

    private void call(DataOutputStream reply) throws Throwable {
        int kind = in.readUnsignedByte();
        Object target = object();
        Executable executable = Handles.method(in.readLong());
        Class<?>[] types = executable.getParameterTypes();
        Object[] arguments = new Object[in.readInt()];
        for (int i = 0; i < arguments.length; i++) {
            arguments[i] = readValue();
        }
        if (kind == CALL_NEW && FILE_NAMING.contains(executable.getDeclaringClass())) {
            translateFileNames(executable, types, arguments);
        }
        try {
            if (executable instanceof Constructor<?> constructor) {
                reply.writeLong(Handles.reference(constructor.newInstance(arguments)));
                return;
            }
            Method method = (Method) executable;
            Object result = method.invoke(kind == CALL_STATIC ? null : target, arguments);
            writeValue(reply, method.getReturnType(), result);
        } catch (InvocationTargetException e) {
            throw e.getCause();
        }
    }

    private static void translateFileNames(Executable executable, Class<?>[] types, Object[] arguments) {
        if (types.length > 0 && types[0] == String.class) {
            arguments[0] = Agent.paths.toLinux((String) arguments[0]);
        }
        // new File(parent, child): the child is relative, its separators still Windows ones.
        if (executable.getDeclaringClass() == File.class && types.length == 2 && types[1] == String.class
                && arguments[1] != null) {
            arguments[1] = ((String) arguments[1]).replace('\\', '/');
        }
    }

    private Object object() throws IOException {
        return Handles.object(in.readLong());
    }

    private String readText() throws IOException {
        return ModifiedUtf8.decode(readBytes(in));
    }

    private static byte[] readBytes(DataInputStream in) throws IOException {
        byte[] bytes = new byte[in.readInt()];
        in.readFully(bytes);
        return bytes;
    }

    // A value with its type letter, as JNI signatures write it.
    private Object readValue() throws IOException {
        char type = (char) in.readUnsignedByte();
        return switch (type) {
            case 'Z' -> in.readBoolean();
            case 'B' -> in.readByte();
            case 'C' -> in.readChar();
            case 'S' -> in.readShort();
            case 'I' -> in.readInt();
            case 'J' -> in.readLong();
            case 'F' -> in.readFloat();
            case 'D' -> in.readDouble();
            case 'L' -> object();
            default -> throw new IOException("unknown value type " + type);
        };
    }

    private static void writeValue(DataOutputStream out, Class<?> type, Object value) throws IOException {
        if (type == void.class) {
            out.writeLong(0);
        } else if (type == boolean.class) {
            out.writeBoolean((Boolean) value);
        } else if (type == byte.class) {
            out.writeByte((Byte) value);
        } else if (type == char.class) {
            out.writeChar((Character) value);
        } else if (type == short.class) {
            out.writeShort((Short) value);
        } else if (type == int.class) {
            out.writeInt((Integer) value);
        } else if (type == long.class) {
            out.writeLong((Long) value);
        } else if (type == float.class) {
            out.writeFloat((Float) value);
        } else if (type == double.class) {
            out.writeDouble((Double) value);
        } else {
            out.writeLong(Handles.reference(value));
        }
    }

    private static Class<?> primitive(int letter) {
        return switch ((char) letter) {
            case 'Z' -> boolean.class;
            case 'B' -> byte.class;
            case 'C' -> char.class;
            case 'S' -> short.class;
            case 'I' -> int.class;
            case 'J' -> long.class;
            case 'F' -> float.class;
            case 'D' -> double.class;
            default -> throw new IllegalArgumentException("no primitive type " + (char) letter);
        };
    }

    // FindClass without a Java caller: the system class loader, as for an
    // attached thread; the name in slash form, arrays as descriptors.
    private static Class<?> findClass(String name) {
        try {
            return Class.forName(name.replace('/', '.'), false, ClassLoader.getSystemClassLoader());
        } catch (ClassNotFoundException e) {
            NoClassDefFoundError error = new NoClassDefFoundError(name);
            error.initCause(e);
            throw error;
        }
    }

    private static Class<?> findBootClass(String name) {
        try {
            return Class.forName(name.replace('/', '.'), false, null);
        } catch (ClassNotFoundException e) {
            return null;
        }
    }

    private static long findMethod(Class<?> type, String name, String signature, boolean isStatic)
            throws ClassNotFoundException {
        List<Class<?>> parameters = new ArrayList<>();
        Class<?> returned = parseSignature(signature, type.getClassLoader(), parameters);
        Class<?>[] parameterTypes = parameters.toArray(new Class<?>[0]);
        Executable found = null;
        if (name.equals("<init>")) {
            found = declaredConstructor(type, parameterTypes);
        } else {
            found = methodIn(type, name, parameterTypes, returned);
        }
        if (found == null || Modifier.isStatic(found.getModifiers()) != isStatic) {
            throw new NoSuchMethodError(name);
        }
        found.trySetAccessible();
        return Handles.member(found);
    }

    private static Executable declaredConstructor(Class<?> type, Class<?>[] parameterTypes) {
        try {
            return type.getDeclaredConstructor(parameterTypes);
        } catch (NoSuchMethodException e) {
            return null;
        }
    }

    // The class, its superclasses, then the interfaces, as JNI looks.
    private static Method methodIn(Class<?> type, String name, Class<?>[] parameterTypes, Class<?> returned) {
        for (Class<?> c = type; c != null; c = c.getSuperclass()) {
            try {
                Method method = c.getDeclaredMethod(name, parameterTypes);
                if (method.getReturnType() == returned) {
                    return method;
                }
            } catch (NoSuchMethodException e) {
                // look further up
            }
        }
        for (Class<?> c = type; c != null; c = c.getSuperclass()) {
            for (Class<?> face : c.getInterfaces()) {
                Method method = methodIn(face, name, parameterTypes, returned);
                if (method != null) {
                    return method;
                }
            }
        }
        return null;
    }

    private static long findField(Class<?> type, String name, String signature, boolean isStatic)
            throws ClassNotFoundException {
        Class<?> fieldType = typeOf(signature, new int[] {0}, type.getClassLoader());
        for (Class<?> c = type; c != null; c = c.getSuperclass()) {
            for (Field field : c.getDeclaredFields()) {
                if (field.getName().equals(name) && field.getType() == fieldType
                        && Modifier.isStatic(field.getModifiers()) == isStatic) {
                    field.trySetAccessible();
                    return Handles.member(field);
                }
            }
        }
        throw new NoSuchFieldError(name);
    }

    private static Class<?> parseSignature(String signature, ClassLoader loader, List<Class<?>> parameters)
            throws ClassNotFoundException {
        if (!signature.startsWith("(")) {
            throw new NoSuchMethodError("bad signature " + signature);
        }
        int[] at = {1};
        while (signature.charAt(at[0]) != ')') {
            parameters.add(typeOf(signature, at, loader));
        }
        at[0]++;
        return typeOf(signature, at, loader);
    }

    private static Class<?> typeOf(String signature, int[] at, ClassLoader loader) throws ClassNotFoundException {
        char letter = signature.charAt(at[0]++);
        switch (letter) {
            case 'V':
                return void.class;
            case 'L': {
                int end = signature.indexOf(';', at[0]);
                String name = signature.substring(at[0], end).replace('/', '.');
                at[0] = end + 1;
                return Class.forName(name, false, loader);
            }
            case '[': {
                int start = at[0] - 1;
                typeOf(signature, at, loader);
                String descriptor = signature.substring(start, at[0]).replace('/', '.');
                return Class.forName(descriptor, false, loader);
            }
            default:
                return primitive(letter);
        }
    }
}
