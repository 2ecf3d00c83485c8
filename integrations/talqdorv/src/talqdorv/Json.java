package talqdorv;

import java.util.ArrayList;
import java.util.List;

/** A minimal JSON writer: enough for flat records and lists of them, with correct escaping. */
final class Json {
    private final StringBuilder text = new StringBuilder();
    private final List<Boolean> firstInScope = new ArrayList<>();

    Json beginObject() {
        separate();
        text.append('{');
        firstInScope.add(Boolean.TRUE);
        return this;
    }

    Json endObject() {
        firstInScope.remove(firstInScope.size() - 1);
        text.append('}');
        return this;
    }

    Json beginArray(String name) {
        key(name);
        text.append('[');
        firstInScope.add(Boolean.TRUE);
        return this;
    }

    Json endArray() {
        firstInScope.remove(firstInScope.size() - 1);
        text.append(']');
        return this;
    }

    Json field(String name, String value) {
        key(name);
        if (value == null) {
            text.append("null");
        } else {
            quote(value);
        }
        return this;
    }

    Json field(String name, int value) {
        key(name);
        text.append(value);
        return this;
    }

    @Override
    public String toString() {
        return text.toString();
    }

    private void key(String name) {
        separate();
        quote(name);
        text.append(':');
    }

    /** Puts a comma before every member but the first of its object or array. */
    private void separate() {
        if (firstInScope.isEmpty()) {
            return;
        }
        int last = firstInScope.size() - 1;
        if (firstInScope.get(last)) {
            firstInScope.set(last, Boolean.FALSE);
        } else {
            text.append(',');
        }
    }

    private void quote(String value) {
        text.append('"');
        for (int i = 0; i < value.length(); i++) {
            char c = value.charAt(i);
            switch (c) {
                case '"': text.append("\\\""); break;
                case '\\': text.append("\\\\"); break;
                case '\n': text.append("\\n"); break;
                case '\r': text.append("\\r"); break;
                case '\t': text.append("\\t"); break;
                default:
                    if (c < 0x20) {
                        text.append(String.format("\\u%04x", (int) c));
                    } else {
                        text.append(c);
                    }
            }
        }
        text.append('"');
    }
}
