package talqdorv;

import java.io.File;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.sql.Connection;
import java.sql.SQLException;
import java.sql.Statement;

/** Creates a registry database: the schema, then either the given SQL records or a built-in sample. */
final class SampleRegistry {
    private static final String[] SCHEMA = {
        "CREATE TABLE DORV (NUMBER INT PRIMARY KEY, NAME VARCHAR(200) NOT NULL, ADDRESS VARCHAR(400),"
            + " PHONE VARCHAR(40), CLOSED_REASON VARCHAR(1000))",
        "CREATE TABLE ELECTION (ID INT AUTO_INCREMENT PRIMARY KEY, DORV_NUMBER INT NOT NULL REFERENCES DORV(NUMBER),"
            + " TITLE VARCHAR(400) NOT NULL, ELECTION_DATE DATE NOT NULL, VOTERS INT NOT NULL)",
        "CREATE TABLE MEMBER (ID INT AUTO_INCREMENT PRIMARY KEY, DORV_NUMBER INT NOT NULL REFERENCES DORV(NUMBER),"
            + " FULL_NAME VARCHAR(200) NOT NULL, ROLE VARCHAR(100) NOT NULL, PHONE VARCHAR(40))",
    };

    private static final String[] SAMPLE_RECORDS = {
        "INSERT INTO DORV VALUES (101, 'Северный', 'ул. Лесная, 4', '+7 900 000-01-01', NULL)",
        "INSERT INTO DORV VALUES (102, 'Речной', 'наб. Речная, 12, корп. 2', '+7 900 000-01-02', NULL)",
        "INSERT INTO DORV VALUES (103, 'Школьный', 'ул. Школьная, 1', NULL, NULL)",
        "INSERT INTO DORV VALUES (113, 'Старый', 'пер. Тихий, 3', NULL,"
            + " 'объединён с dorv №101 \"Северный\" (приказ C:\\архив\\5)')",
        "INSERT INTO ELECTION (DORV_NUMBER, TITLE, ELECTION_DATE, VOTERS) VALUES"
            + " (101, 'Выборы совета', DATE '2021-09-19', 1840),"
            + " (101, 'Выборы председателя', DATE '2024-03-17', 1912),"
            + " (102, 'Выборы совета', DATE '2021-09-19', 2230)",
        "INSERT INTO MEMBER (DORV_NUMBER, FULL_NAME, ROLE, PHONE) VALUES"
            + " (101, 'Иванова Анна Петровна', 'председатель', '+7 900 100-00-01'),"
            + " (101, 'Петров Олег Ильич', 'секретарь', NULL),"
            + " (101, 'Сидоров Ян', 'член', NULL),"
            + " (102, 'Кузнецова Мария', 'председатель', '+7 900 200-00-02')",
    };

    private SampleRegistry() {
    }

    /** Fails when the database already exists, so a build never mixes old and new records. */
    static void create(String basePath, String recordsScript) throws SQLException, IOException {
        if (new File(basePath + ".mv.db").exists()) {
            throw new IOException("Database already exists: " + basePath + ".mv.db");
        }
        try (Connection connection = RegistryDatabase.create(basePath);
             Statement st = connection.createStatement()) {
            for (String sql : SCHEMA) {
                st.execute(sql);
            }
            if (recordsScript == null) {
                for (String sql : SAMPLE_RECORDS) {
                    st.execute(sql);
                }
            } else {
                st.execute(Files.readString(new File(recordsScript).toPath(), StandardCharsets.UTF_8));
            }
        }
    }
}
