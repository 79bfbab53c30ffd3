PACKAGE p AS
  /** Does x. @param a the a */
  PROCEDURE x(a IN NUMBER := 1); -- after
  $if $$d $then c CONSTANT NUMBER := q'[;]'; $end
END;
/
PACKAGE BODY p AS
  PROCEDURE x(a IN NUMBER := 1) IS
  BEGIN
    /* Body. */
    IF a > 0 THEN NULL; END IF;
  END;
END;
