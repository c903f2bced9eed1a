package tarvo.bridge;

import java.lang.reflect.Executable;
import java.lang.reflect.Field;
import java.util.concurrent.ConcurrentHashMap;
import java.util.concurrent.atomic.AtomicLong;

/**
 * What the Windows side holds as numbers: object references (local and
 * global alike, 0 is null), method IDs and field IDs. A method or field keeps
 * its ID for the life of the JVM, as in JNI.
 */
final class Handles {
    private static final ConcurrentHashMap<Long, Object> objects = new ConcurrentHashMap<>();
    private static final AtomicLong nextObject = new AtomicLong(1);
    private static final ConcurrentHashMap<Long, Object> members = new ConcurrentHashMap<>();
    private static final ConcurrentHashMap<Object, Long> memberIds = new ConcurrentHashMap<>();
    private static final AtomicLong nextMember = new AtomicLong(1);

    static long reference(Object object) {
        if (object == null) {
            return 0;
        }
        long id = nextObject.getAndIncrement();
        objects.put(id, object);
        return id;
    }

    static Object object(long id) {
        if (id == 0) {
            return null;
        }
        Object object = objects.get(id);
        if (object == null) {
            throw new IllegalStateException("the reference " + id + " is not valid (deleted or never made)");
        }
        return object;
    }

    static void delete(long id) {
        objects.remove(id);
    }

    static long member(Object member) {
        return memberIds.computeIfAbsent(member, m -> {
            long id = nextMember.getAndIncrement();
            members.put(id, m);
            return id;
        });
    }

    static Executable method(long id) {
        return (Executable) members.get(id);
    }

    static Field field(long id) {
        return (Field) members.get(id);
    }

    private Handles() {}
}
