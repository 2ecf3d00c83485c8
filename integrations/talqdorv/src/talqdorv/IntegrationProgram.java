package talqdorv;

import java.io.BufferedReader;
import java.io.File;
import java.io.FileDescriptor;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.InputStreamReader;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.sql.SQLException;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

/**
 * The registry integration program: answers one request line with one answer line.
 *
 * <pre>
 *   java -Dfile.encoding=UTF-8 -jar talqdorv.jar -db /abs/path/DB            serve requests
 *   java -jar talqdorv.jar -db /abs/path/DB -create [-records records.sql]   make a database
 * </pre>
 */
public final class IntegrationProgram {
    static final String PROMPT = "Please input a line: \"Fetch dorv data: N\", \"Fetch dorv elections data: N\","
        + " \"Fetch dorv members data: N\", \"Fetch dorv all data: N\" or \"EXIT\"";

    private static final Pattern REQUEST =
        Pattern.compile("Fetch dorv (data|elections data|members data|all data): *(-?\\d{1,9})\\s*");

    // Explicit UTF-8 both ways and a flush per line: the caller waits for each answer line.
    private final PrintStream out = new PrintStream(new FileOutputStream(FileDescriptor.out), true, StandardCharsets.UTF_8);
    private final RegistryDatabase db;

    private IntegrationProgram(RegistryDatabase db) {
        this.db = db;
    }

    public static void main(String[] args) {
        String dbPath = option(args, "-db");
        if (dbPath == null) {
            fail("Usage: -db /absolute/path/DB [-create [-records FILE.sql]]", 2);
        }
        // The path names the database without ".mv.db"; H2 wants it absolute.
        String basePath = new File(dbPath).getAbsolutePath();
        try {
            if (hasFlag(args, "-create")) {
                SampleRegistry.create(basePath, option(args, "-records"));
                return;
            }
            try (RegistryDatabase db = RegistryDatabase.openExisting(basePath)) {
                new IntegrationProgram(db).serve(basePath);
            }
        } catch (SQLException | IOException e) {
            fail("Cannot use the database " + basePath + ": " + e.getMessage(), 1);
        }
    }

    private void serve(String basePath) throws IOException, SQLException {
        out.println("Registry database " + basePath + " opened, units: " + db.unitCount());
        out.println(PROMPT);
        BufferedReader in = new BufferedReader(new InputStreamReader(System.in, StandardCharsets.UTF_8));
        for (String line = in.readLine(); line != null; line = in.readLine()) {
            if (line.trim().equalsIgnoreCase("EXIT")) {
                break;
            }
            out.println(answer(line));
        }
    }

    private String answer(String line) {
        Matcher m = REQUEST.matcher(line);
        if (!m.matches()) {
            return "ERROR: Unknown request \"" + line + "\"";
        }
        int number = Integer.parseInt(m.group(2));
        try {
            return "OUTPUT: " + query(m.group(1), number);
        } catch (RegistryDatabase.NotAnswerable e) {
            return "ERROR: " + e.getMessage();
        } catch (SQLException e) {
            return "ERROR: " + e.getMessage().replace('\n', ' ');
        }
    }

    private String query(String kind, int number) throws SQLException, RegistryDatabase.NotAnswerable {
        switch (kind) {
            case "data": return db.unit(number);
            case "elections data": return db.elections(number);
            case "members data": return db.members(number);
            default: return db.all(number);
        }
    }

    private static String option(String[] args, String name) {
        for (int i = 0; i + 1 < args.length; i++) {
            if (args[i].equals(name)) {
                return args[i + 1];
            }
        }
        return null;
    }

    private static boolean hasFlag(String[] args, String name) {
        for (String arg : args) {
            if (arg.equals(name)) {
                return true;
            }
        }
        return false;
    }

    private static void fail(String message, int code) {
        System.err.println(message);
        System.exit(code);
    }
}
