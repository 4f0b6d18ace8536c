/* The rows every new database starts with. */

/* Grid 08:00-20:00 by half hours, working time 09:00-18:00, Monday to Friday. */
INSERT INTO OPTIONS (STEP, STARTTIMEGRID, ENDTIMEGRID, STARTWORKTIMEGRID, ENDWORKTIMEGRID,
                     MON, TUE, WED, THU, FRI, SAT, SUN, STARTSYSTEM)
VALUES (30, '08:00', '20:00', '09:00', '18:00', 'T', 'T', 'T', 'T', 'T', 'F', 'F', 0);

/* The built-in administrator; the initial password is "admin". */
INSERT INTO USERS (ID, NAME, PASS, ADMCHECK, BOSS, INSYSTEM, MONO, CPWIDTH, STARTSYSTEM,
                   SNEVENT, SNTEXT, SNMESAGE)
VALUES (GEN_ID(USERS_ID, 1), 'Администратор', 'admin', 'T', 'F', 'F', 'F', 0, 0, 'T', 'T', 'T');

/* The default template has ID 1: a new event starts with it. */
INSERT INTO TEMPLATE (ID, NAME, TRACKCOLOR, CAPTIONBG, CAPTIONFONT, CAPTIONFONTCOLOR, CAPTIONFONTSIZE,
                      HEADERFONT, HEADERFONTCOLOR, HEADERFONTSIZE, BGCOLOR, TEXTFONT, TEXTFONTCOLOR,
                      TEXTFONTSIZE, CAPTIONCOLOR, TEXTCOLOR, BRUSHSTILE, TDEFAULT)
VALUES (GEN_ID(TEMPLATE_ID, 1), 'Обычный', 13613489, 13613489, 'MS Sans Serif', 0, 8,
        'MS Sans Serif', 0, 9, 16777215, 'MS Sans Serif', 0, 8, 0, 0, 0, 'T');
