package talqdorv;

import java.sql.Connection;
import java.sql.DriverManager;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLException;

/** Reads units, their elections and members from the registry's H2 database. */
final class RegistryDatabase implements AutoCloseable {
    /** Raised for a request the registry cannot answer; its message goes to the caller as is. */
    static final class NotAnswerable extends Exception {
        private static final long serialVersionUID = 1L;

        NotAnswerable(String message) {
            super(message);
        }
    }

    private final Connection connection;

    private RegistryDatabase(Connection connection) {
        this.connection = connection;
    }

    /** Opens an existing database; a wrong path must not silently create an empty one. */
    static RegistryDatabase openExisting(String basePath) throws SQLException {
        return new RegistryDatabase(DriverManager.getConnection(url(basePath) + ";IFEXISTS=TRUE", "sa", ""));
    }

    static Connection create(String basePath) throws SQLException {
        return DriverManager.getConnection(url(basePath), "sa", "");
    }

    private static String url(String basePath) {
        return "jdbc:h2:" + basePath;
    }

    int unitCount() throws SQLException {
        try (PreparedStatement st = connection.prepareStatement("SELECT COUNT(*) FROM DORV");
             ResultSet rs = st.executeQuery()) {
            rs.next();
            return rs.getInt(1);
        }
    }

    String unit(int number) throws SQLException, NotAnswerable {
        Json json = new Json().beginObject();
        writeUnitFields(json, number);
        return json.endObject().toString();
    }

    String elections(int number) throws SQLException, NotAnswerable {
        requireOpenUnit(number);
        Json json = new Json().beginObject().field("number", number);
        writeElections(json, number);
        return json.endObject().toString();
    }

    String members(int number) throws SQLException, NotAnswerable {
        requireOpenUnit(number);
        Json json = new Json().beginObject().field("number", number);
        writeMembers(json, number);
        return json.endObject().toString();
    }

    String all(int number) throws SQLException, NotAnswerable {
        Json json = new Json().beginObject();
        writeUnitFields(json, number);
        writeElections(json, number);
        writeMembers(json, number);
        return json.endObject().toString();
    }

    @Override
    public void close() throws SQLException {
        connection.close();
    }

    private void requireOpenUnit(int number) throws SQLException, NotAnswerable {
        writeUnitFields(new Json().beginObject(), number);
    }

    private void writeUnitFields(Json json, int number) throws SQLException, NotAnswerable {
        String sql = "SELECT NAME, ADDRESS, PHONE, CLOSED_REASON FROM DORV WHERE NUMBER = ?";
        try (PreparedStatement st = connection.prepareStatement(sql)) {
            st.setInt(1, number);
            try (ResultSet rs = st.executeQuery()) {
                if (!rs.next()) {
                    throw new NotAnswerable("Dorv №" + number + " не найден в реестре");
                }
                String closedReason = rs.getString("CLOSED_REASON");
                if (closedReason != null) {
                    throw new NotAnswerable("Dorv №" + number + " закрыт: " + closedReason);
                }
                json.field("number", number)
                    .field("name", rs.getString("NAME"))
                    .field("address", rs.getString("ADDRESS"))
                    .field("phone", rs.getString("PHONE"));
            }
        }
    }

    private void writeElections(Json json, int number) throws SQLException {
        String sql = "SELECT TITLE, ELECTION_DATE, VOTERS FROM ELECTION WHERE DORV_NUMBER = ? ORDER BY ELECTION_DATE, ID";
        try (PreparedStatement st = connection.prepareStatement(sql)) {
            st.setInt(1, number);
            try (ResultSet rs = st.executeQuery()) {
                json.beginArray("elections");
                while (rs.next()) {
                    json.beginObject()
                        .field("title", rs.getString("TITLE"))
                        .field("date", rs.getString("ELECTION_DATE"))
                        .field("voters", rs.getInt("VOTERS"))
                        .endObject();
                }
                json.endArray();
            }
        }
    }

    private void writeMembers(Json json, int number) throws SQLException {
        String sql = "SELECT FULL_NAME, ROLE, PHONE FROM MEMBER WHERE DORV_NUMBER = ? ORDER BY ID";
        try (PreparedStatement st = connection.prepareStatement(sql)) {
            st.setInt(1, number);
            try (ResultSet rs = st.executeQuery()) {
                json.beginArray("members");
                while (rs.next()) {
                    json.beginObject()
                        .field("fullName", rs.getString("FULL_NAME"))
                        .field("role", rs.getString("ROLE"))
                        .field("phone", rs.getString("PHONE"))
                        .endObject();
                }
                json.endArray();
            }
        }
    }
}
